#include "platform/autostart.h"

#include <QDir>
#include <QSettings>

namespace platform {
namespace {

// The value's name under the Run key: the program's name.
const QString kValue = QStringLiteral("Quorvane");

// The command Windows runs at login: the program's path, quoted (it may hold blanks).
QString command(const QString &program)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(program) + QLatin1Char('"');
}

} // namespace

QString Autostart::defaultPath()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

Autostart::Autostart(QString program, QString entryPath)
    : m_program(std::move(program))
    , m_path(std::move(entryPath))
{ }

bool Autostart::isEnabled() const
{
    return QSettings(m_path, QSettings::NativeFormat).contains(kValue);
}

bool Autostart::enable() const
{
    QSettings key(m_path, QSettings::NativeFormat);
    key.setValue(kValue, command(m_program));
    key.sync();
    return key.status() == QSettings::NoError && key.value(kValue).toString() == command(m_program);
}

bool Autostart::disable() const
{
    QSettings key(m_path, QSettings::NativeFormat);
    key.remove(kValue);
    key.sync();
    return key.status() == QSettings::NoError && !key.contains(kValue);
}

} // namespace platform
