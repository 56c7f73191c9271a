#pragma once

#include <QString>
#include <QStringList>

namespace platform {

/// Where the program keeps its files on this desktop.
class FileLocations
{
public:
    /// The settings file of the nine intervals, Quorvane.txt: in the user's configuration
    /// folder ($XDG_CONFIG_HOME, else ~/.config) on Linux, in the roaming application data
    /// folder (%APPDATA%) on Windows.
    static QString settingsFile();
    /// Where earlier versions of the program kept the settings file, in the order they
    /// are looked at: read while settingsFile() does not exist yet, never written.
    static QStringList earlierSettingsFiles();
    /// The options file of the additions, Quorvane/Quorvane.conf in the user's
    /// configuration folder.
    static QString optionsFile();
    /// The record of the reminders, Quorvane/history.sqlite in the user's data folder
    /// ($XDG_DATA_HOME, else ~/.local/share) on Linux, in the local application data folder
    /// (%LOCALAPPDATA%) on Windows: it belongs to this computer, not to a roaming profile.
    static QString historyFile();
};

} // namespace platform
