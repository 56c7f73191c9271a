#include "platform/filelocations.h"

#include <QStandardPaths>

namespace platform {

// The toolkit's configuration folder: $XDG_CONFIG_HOME (else ~/.config) on Linux.

QString FileLocations::settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quorvane.txt");
}

QStringList FileLocations::earlierSettingsFiles()
{
    return {};
}

QString FileLocations::optionsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Quorvane/Quorvane.conf");
}

QString FileLocations::historyFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Quorvane/history.sqlite");
}

} // namespace platform
