#include "companion/options.h"

#include "platform/filelocations.h"

#include <QFileInfo>
#include <QSettings>

namespace companion {
namespace {

const QString kAutoRepeat = QStringLiteral("Reminders/AutoRepeat");

} // namespace

QString Options::defaultPath()
{
    return platform::FileLocations::optionsFile();
}

Options::Options(QString path)
    : m_path(std::move(path))
{ }

Options::Read Options::read()
{
    m_autoRepeat = false;
    const QFileInfo info(m_path);
    if (!info.exists())
        return Read::Missing;
    const QSettings file(m_path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError || (info.size() > 0 && file.allKeys().isEmpty()))
        return Read::Damaged;
    const QString autoRepeat = file.value(kAutoRepeat, QStringLiteral("false")).toString();
    if (autoRepeat != QLatin1String("true") && autoRepeat != QLatin1String("false"))
        return Read::Damaged;
    m_autoRepeat = autoRepeat == QLatin1String("true");
    return Read::Fine;
}

bool Options::write() const
{
    QSettings file(m_path, QSettings::IniFormat);
    // Written afresh (QSettings replaces the file whole), so that nothing of a damaged
    // file is carried over.
    file.clear();
    file.setValue(kAutoRepeat, m_autoRepeat);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace companion
