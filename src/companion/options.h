#pragma once

#include <QString>

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

private:
    QString m_path;
    bool m_autoRepeat = false;
};

} // namespace companion
