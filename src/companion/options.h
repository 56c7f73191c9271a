#pragma once

#include <QString>
#include <QVariant>

namespace companion {

/// The choices of the additions, in their own file (never in the settings file of the
/// nine intervals): $XDG_CONFIG_HOME/Quorvane/Quorvane.conf. Each choice is saved as it
/// is made.
class Options
{
public:
    /// How reading the file went.
    enum class Read { Fine, Missing, Damaged };

    /// The options file in the user's configuration folder.
    static QString defaultPath();

    explicit Options(QString path = defaultPath());

    /// Reads the file. A file that cannot be read, or holds a choice that is not a plain
    /// true or false, or holds nothing readable at all, is damaged: every choice is then
    /// at its default.
    Read read();
    /// Replaces the file with the current choices; false when it cannot be written.
    bool write() const;

    const QString &path() const { return m_path; }

    /// "到时后自动重新计时": an acknowledged reminder starts its slot again. Off by default.
    bool autoRepeat() const { return m_autoRepeat; }
    void setAutoRepeat(bool on) { m_autoRepeat = on; }

    /// "离开电脑时暂停计时": the countdowns hold while the user is away. Off by default.
    bool awayHold() const { return m_awayHold; }
    void setAwayHold(bool on) { m_awayHold = on; }

    /// After how many minutes without input the user counts as away: AwayAfterMinutes, a
    /// whole number from 1 to 240; any other value, or none, counts as 5. The value is
    /// only ever set by hand in the file, and written back as it was found.
    int awayAfterMinutes() const;

    static constexpr int kDefaultAwayAfterMinutes = 5;

private:
    QString m_path;
    bool m_autoRepeat = false;
    bool m_awayHold = false;
    QVariant m_awayAfter; ///< as found in the file; invalid when it is not there
};

} // namespace companion
