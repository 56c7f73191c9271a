#pragma once

#include <QByteArray>
#include <QString>

namespace companion {

/// Starting the program with the desktop session, by the XDG autostart convention: a
/// desktop entry named after the program's id in $XDG_CONFIG_HOME/autostart. The entry
/// being there is the choice itself; nothing else records it.
class Autostart
{
public:
    /// $XDG_CONFIG_HOME/autostart/io.github.quorvane.Quorvane.desktop
    static QString defaultPath();

    /// program: the executable the entry starts.
    Autostart(QString program, QString entryPath = defaultPath());

    bool isEnabled() const;
    /// Writes the entry, folder included; false when it cannot be written.
    bool enable() const;
    /// Removes the entry; false when it is there and cannot be removed.
    bool disable() const;

    /// The desktop entry that starts program.
    static QByteArray entry(const QString &program);

    const QString &path() const { return m_path; }

private:
    QString m_program;
    QString m_path;
};

} // namespace companion
