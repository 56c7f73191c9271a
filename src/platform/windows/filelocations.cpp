#include "platform/filelocations.h"

#include <QDir>
#include <QStandardPaths>

namespace platform {
namespace {

// A folder named by the environment, else the user's profile with the given rest.
QString folder(const char *variable, const char *underProfile)
{
    const QString named = qEnvironmentVariable(variable);
    return QDir::fromNativeSeparators(named.isEmpty() ? QDir::homePath() + QLatin1String(underProfile) : named);
}

} // namespace

QString FileLocations::settingsFile()
{
    // The roaming application data folder: a standard user may not create files in the
    // root of drive C:, and the toolkit's configuration folder on Windows is the local one.
    return folder("APPDATA", "/AppData/Roaming") + QStringLiteral("/Quorvane.txt");
}

QStringList FileLocations::earlierSettingsFiles()
{
    // Where the program kept it before: the root of drive C:, or where Windows redirected
    // a 32-bit program's writes there.
    return {QStringLiteral("C:/Quorvane.txt"),
            folder("LOCALAPPDATA", "/AppData/Local") + QStringLiteral("/VirtualStore/Quorvane.txt")};
}

QString FileLocations::optionsFile()
{
    return folder("APPDATA", "/AppData/Roaming") + QStringLiteral("/Quorvane/Quorvane.conf");
}

QString FileLocations::historyFile()
{
    return folder("LOCALAPPDATA", "/AppData/Local") + QStringLiteral("/Quorvane/history.sqlite");
}

} // namespace platform
