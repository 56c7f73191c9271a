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
const QString kEyeRest = QStringLiteral("Reminders/EyeRestAfterAway");
const QString kPresenting = QStringLiteral("Reminders/HoldWhilePresenting");
const QString kWorkingHours = QStringLiteral("Reminders/WorkingHoursOnly");
const QString kWorkingDays = QStringLiteral("Reminders/WorkingDays");
const QString kWorkFrom = QStringLiteral("Reminders/WorkFrom");
const QString kWorkTo = QStringLiteral("Reminders/WorkTo");

/// A switch as the file holds it: its default when absent, true or false; anything else
/// is no choice.
std::optional<bool> choice(const QSettings &file, const QString &key, bool byDefault)
{
    if (!file.contains(key))
        return byDefault;
    const QString text = file.value(key).toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

/// A value's text; a hand-written list ("1,2,3" unquoted) comes back as one text.
QString textOf(const QVariant &value)
{
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString();
}

std::optional<int> minutesOf(const QVariant &value)
{
    bool whole = false;
    const int minutes = textOf(value).trimmed().toInt(&whole);
    if (!whole || minutes < Choices::kMinAwayMinutes || minutes > Choices::kMaxAwayMinutes)
        return std::nullopt;
    return minutes;
}

/// Days as numbers from 1 (Monday) to 7 (Sunday), separated by commas; none is a choice too.
std::optional<std::array<bool, 7>> daysOf(const QVariant &value)
{
    std::array<bool, 7> days{};
    const QString text = textOf(value).trimmed();
    if (text.isEmpty())
        return days;
    for (const QString &part : text.split(u',')) {
        bool whole = false;
        const int day = part.trimmed().toInt(&whole);
        if (!whole || day < 1 || day > 7)
            return std::nullopt;
        days[size_t(day - 1)] = true;
    }
    return days;
}

QString daysText(const std::array<bool, 7> &days)
{
    QStringList list;
    for (size_t k = 0; k < days.size(); ++k)
        if (days[k])
            list << QString::number(k + 1);
    return list.join(u',');
}

std::optional<QTime> timeOf(const QVariant &value)
{
    const QTime time = QTime::fromString(textOf(value).trimmed(), QStringLiteral("H:mm"));
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString timeText(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm"));
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
    m_choices = Choices();
    m_found = Found();
    const QFileInfo info(m_path);
    if (!info.exists())
        return Read::Missing;
    const QSettings file(m_path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError || (info.size() > 0 && file.allKeys().isEmpty()))
        return Read::Damaged;
    const Choices defaults;
    const std::optional<bool> autoRepeat = choice(file, kAutoRepeat, defaults.autoRepeat),
                              awayHold = choice(file, kAwayHold, defaults.awayHold),
                              eyeRest = choice(file, kEyeRest, defaults.eyeRestAfterAway),
                              presenting = choice(file, kPresenting, defaults.holdWhilePresenting),
                              workingHours = choice(file, kWorkingHours, defaults.workingHoursOnly);
    if (!autoRepeat || !awayHold || !eyeRest || !presenting || !workingHours)
        return Read::Damaged;
    m_choices.autoRepeat = *autoRepeat;
    m_choices.awayHold = *awayHold;
    m_choices.eyeRestAfterAway = *eyeRest;
    m_choices.holdWhilePresenting = *presenting;
    m_choices.workingHoursOnly = *workingHours;
    m_found = {file.value(kAwayAfter), file.value(kWorkingDays), file.value(kWorkFrom), file.value(kWorkTo)};
    interpret();
    return Read::Fine;
}

void Options::interpret()
{
    const Choices defaults;
    m_choices.awayAfterMinutes = minutesOf(m_found.awayAfter).value_or(defaults.awayAfterMinutes);
    m_choices.workingDays = m_found.days.isValid() ? daysOf(m_found.days).value_or(defaults.workingDays)
                                                   : defaults.workingDays;
    m_choices.workFrom = timeOf(m_found.from).value_or(defaults.workFrom);
    m_choices.workTo = timeOf(m_found.to).value_or(defaults.workTo);
}

void Options::setChoices(const Choices &choices)
{
    // A value the person wrote by hand stays as he wrote it while it still says what
    // counts, even one that counts as the default because it cannot be used.
    if (choices.awayAfterMinutes != m_choices.awayAfterMinutes)
        m_found.awayAfter = choices.awayAfterMinutes;
    if (choices.workingDays != m_choices.workingDays)
        m_found.days = daysText(choices.workingDays);
    if (choices.workFrom != m_choices.workFrom)
        m_found.from = timeText(choices.workFrom);
    if (choices.workTo != m_choices.workTo)
        m_found.to = timeText(choices.workTo);
    m_choices = choices;
}

bool Options::write() const
{
    QSettings file(m_path, QSettings::IniFormat);
    // Written afresh (QSettings replaces the file whole), so that nothing of a damaged
    // file is carried over.
    file.clear();
    file.setValue(kAutoRepeat, m_choices.autoRepeat);
    file.setValue(kAwayHold, m_choices.awayHold);
    if (m_found.awayAfter.isValid())
        file.setValue(kAwayAfter, m_found.awayAfter);
    file.setValue(kEyeRest, m_choices.eyeRestAfterAway);
    file.setValue(kPresenting, m_choices.holdWhilePresenting);
    file.setValue(kWorkingHours, m_choices.workingHoursOnly);
    if (m_found.days.isValid())
        file.setValue(kWorkingDays, m_found.days);
    if (m_found.from.isValid())
        file.setValue(kWorkFrom, m_found.from);
    if (m_found.to.isValid())
        file.setValue(kWorkTo, m_found.to);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace companion
