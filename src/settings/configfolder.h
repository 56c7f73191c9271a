#pragma once

#include <QString>

namespace settings {

/// The folder that holds the settings file, opened so that it can be locked and synced.
/// Every save holds a shared lock on it while its temporary file exists; removing
/// leftover temporary files takes the exclusive lock, so it never removes the temporary
/// file of a save under way in another instance of the program. The lock is advisory
/// (flock) and ends when the object is destroyed, or with the process however it ends.
/// Where the folder cannot be opened (or on Windows) nothing is locked or synced.
class ConfigFolder
{
public:
    explicit ConfigFolder(const QString &path);
    ~ConfigFolder();
    ConfigFolder(const ConfigFolder &) = delete;
    ConfigFolder &operator=(const ConfigFolder &) = delete;

    /// Takes the shared lock, waiting up to a second while a removal of leftovers holds
    /// the exclusive one (it takes milliseconds); a save goes ahead without the lock
    /// rather than hang on a stuck process.
    void lockShared();

    /// Takes the exclusive lock if no save of any instance is under way; returns whether
    /// it did.
    bool lockExclusive();

    /// Makes a rename inside the folder durable: after a power cut the file is the old
    /// one or the new one, never missing. Some file systems cannot sync a folder; the
    /// file is in place all the same, so nothing is undone then.
    void sync();

private:
    int m_fd = -1;
};

} // namespace settings
