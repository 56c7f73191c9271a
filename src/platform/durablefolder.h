#pragma once

#include <QString>

class QFileDevice;

namespace platform {

/// The folder that holds a file saved by replacing it whole, opened so that it can be
/// locked and synced. Every save holds a shared lock on it while its temporary file
/// exists; removing leftover temporary files takes the exclusive lock, so it never
/// removes the temporary file of a save under way in another instance of the program.
/// The lock ends when the object is destroyed, or with the process however it ends.
/// Where the folder cannot be opened, nothing is locked or synced.
class DurableFolder
{
public:
    explicit DurableFolder(const QString &path);
    ~DurableFolder();
    DurableFolder(const DurableFolder &) = delete;
    DurableFolder &operator=(const DurableFolder &) = delete;

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

    /// Puts what was written to file on the disk itself. Returns false, with the
    /// system's error number in errno, when the disk fails.
    static bool syncFile(QFileDevice &file);

private:
    int m_fd = -1;
};

} // namespace platform
