#include "companion/options.h"

#include "platform/filelocations.h"

#include <QFileInfo>
#include <QSettings>

#include <optional>

namespace companion {
namespace {

const QString kAutoRepeat = QStringLiteral("Reminders/AutoRepeat");
const QString kAwayHold = QStringLiteral("Reminders/AwayHold");
const QString kAwayAfter = QStringLiteral("Reminders/AwayAfterMinutes");

/// A choice as the file holds it: none, true or false; anything else is no choice.
std::optional<bool> choice(const QSettings &file, const QString &key)
{
    const QString text = file.value(key, QStringLiteral("false")).toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

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
    m_awayHold = false;
    m_awayAfter = QVariant();
    const QFileInfo info(m_path);
    if (!info.exists())
        return Read::Missing;
    const QSettings file(m_path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError || (info.size() > 0 && file.allKeys().isEmpty()))
        return Read::Damaged;
    const std::optional<bool> autoRepeat = choice(file, kAutoRepeat), awayHold = choice(file, kAwayHold);
    if (!autoRepeat || !awayHold)
        return Read::Damaged;
    m_autoRepeat = *autoRepeat;
    m_awayHold = *awayHold;
    m_awayAfter = file.value(kAwayAfter);
    return Read::Fine;
}

int Options::awayAfterMinutes() const
{
    bool whole = false;
    const int minutes = m_awayAfter.toString().trimmed().toInt(&whole);
    return whole && minutes >= 1 && minutes <= 240 ? minutes : kDefaultAwayAfterMinutes;
}

bool Options::write() const
{
    QSettings file(m_path, QSettings::IniFormat);
    // Written afresh (QSettings replaces the file whole), so that nothing of a damaged
    // file is carried over.
    file.clear();
    file.setValue(kAutoRepeat, m_autoRepeat);
    file.setValue(kAwayHold, m_awayHold);
    if (m_awayAfter.isValid())
        file.setValue(kAwayAfter, m_awayAfter);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace companion
