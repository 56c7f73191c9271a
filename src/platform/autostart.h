#pragma once

#include <QString>

namespace platform {

/// Starting the program with the user's desktop session. On a freedesktop desktop by the
/// XDG autostart convention: a desktop entry named after the program's id in
/// $XDG_CONFIG_HOME/autostart; on Windows a value named after the program under the
/// user's Run key in the registry. The entry being there is the choice itself; nothing
/// else records it.
class Autostart
{
public:
    /// Where the desktop looks for the entry of this program.
    static QString defaultPath();

    /// program: the executable the entry starts; entryPath: where the entry is kept.
    Autostart(QString program, QString entryPath = defaultPath());

    bool isEnabled() const;
    /// Writes the entry; false when it cannot be written.
    bool enable() const;
    /// Removes the entry; false when it is there and cannot be removed.
    bool disable() const;

    /// Where the entry is kept, as the user is told when it cannot be written.
    const QString &path() const { return m_path; }

private:
    QString m_program;
    QString m_path;
};

} // namespace platform
