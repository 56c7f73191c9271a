#include "platform/autostart.h"

#include "platform/appid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace platform {
namespace {

// The program as one argument of Exec: quoted when it holds a character the desktop
// entry format reserves, with the quoting escapes; then the escapes of a string value.
QString execArgument(const QString &program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = program;
    arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (std::any_of(arg.begin(), arg.end(), [](QChar c) { return reserved.contains(c); })) {
        QString quoted;
        for (QChar c : std::as_const(arg)) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        arg = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return arg.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

// The desktop entry that starts program.
QByteArray entry(const QString &program)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.4\n"
                          "Name=Quorvane\n"
                          "Name[zh_CN]=健康提醒\n"
                          "Comment=Reminds you to drink water, rest your eyes and take toilet breaks\n"
                          "Comment[zh_CN]=定时提醒你喝水、远眺休息和上厕所\n"
                          "Exec=%1\n"
                          "Icon=quorvane\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(execArgument(program))
        .toUtf8();
}

} // namespace

QString Autostart::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart/")
           + QString::fromUtf16(kAppId) + QStringLiteral(".desktop");
}

Autostart::Autostart(QString program, QString entryPath)
    : m_program(std::move(program))
    , m_path(std::move(entryPath))
{ }

bool Autostart::isEnabled() const
{
    return QFileInfo(m_path).isFile();
}

bool Autostart::enable() const
{
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return false;
    QSaveFile file(m_path);
    return file.open(QIODevice::WriteOnly) && file.write(entry(m_program)) >= 0 && file.commit();
}

bool Autostart::disable() const
{
    QFile file(m_path);
    return !file.exists() || file.remove();
}

} // namespace platform
