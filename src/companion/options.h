#pragma once

#include <QString>
#include <QTime>
#include <QVariant>

#include <array>

namespace companion {

/// Every choice of the additions that the options file keeps, with its default.
struct Choices {
    /// "到时后自动重新计时": an acknowledged reminder starts its row again.
    bool autoRepeat = false;
    /// "离开电脑时暂停计时": the countdowns hold while the user is away.
    bool awayHold = false;
    /// After how many minutes without input the user counts as away (1 to 240).
    int awayAfterMinutes = 5;
    /// "离开后重新开始远眺计时": after an absence the eye rest counts its whole interval
    /// again (only while the away hold is on).
    bool eyeRestAfterAway = true;
    /// "演示、全屏或免打扰时推迟提醒": a reminder falling due while the user presents waits.
    bool holdWhilePresenting = true;
    /// "只在工作时间提醒": the countdowns hold outside the working days and hours.
    bool workingHoursOnly = false;
    /// Monday to Sunday.
    std::array<bool, 7> workingDays{true, true, true, true, true, false, false};
    QTime workFrom{9, 0};
    QTime workTo{18, 0};

    static constexpr int kMinAwayMinutes = 1;
    static constexpr int kMaxAwayMinutes = 240;

    bool operator==(const Choices &) const = default;
};

/// The choices of the additions, in their own file (never in the settings file of the
/// nine intervals): $XDG_CONFIG_HOME/Quorvane/Quorvane.conf, group [Reminders]. The
/// switches are plain true or false; the minutes, days and times are read as the person
/// wrote them, a value that cannot be used counting as the default, and written back as
/// they were found until a different value is chosen.
class Options
{
public:
    /// How reading the file went.
    enum class Read { Fine, Missing, Damaged };

    /// The options file in the user's configuration folder.
    static QString defaultPath();

    explicit Options(QString path = defaultPath());

    /// Reads the file. A file that cannot be read, or holds a switch that is not a plain
    /// true or false, or holds nothing readable at all, is damaged: every choice is then
    /// at its default.
    Read read();
    /// Replaces the file with the current choices; false when it cannot be written.
    bool write() const;

    const QString &path() const { return m_path; }

    /// The choices as they count now.
    const Choices &choices() const { return m_choices; }
    /// Takes these choices; a minutes, days or time value that does not change what
    /// counts keeps the text it had in the file.
    void setChoices(const Choices &choices);

private:
    /// Minutes, days and times as found in the file, by key; invalid when not there.
    struct Found {
        QVariant awayAfter, days, from, to;
    };
    /// What counts of the values found.
    void interpret();

    QString m_path;
    Choices m_choices;
    Found m_found;
};

} // namespace companion
