#include "platform/durablefolder.h"

#include <QDir>
#include <QFileDevice>

#include <chrono>
#include <thread>

#include <io.h>
#include <windows.h>

namespace platform {
namespace {

HANDLE handleOf(int fd)
{
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

bool lock(HANDLE file, DWORD flags)
{
    OVERLAPPED at{};
    return file != INVALID_HANDLE_VALUE && LockFileEx(file, flags | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at);
}

} // namespace

// Windows cannot lock a folder: the lock is on a small file inside it, kept open while
// the object lives (Windows lets go of its locks when the process ends). A rename is
// made durable by the file system's own journal; the file's content by FlushFileBuffers.

DurableFolder::DurableFolder(const QString &path)
{
    const std::wstring lockFile = QDir::toNativeSeparators(path + QStringLiteral("/.Quorvane.lock")).toStdWString();
    HANDLE file = CreateFileW(lockFile.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), 0);
}

DurableFolder::~DurableFolder()
{
    if (m_fd >= 0)
        _close(m_fd);
}

void DurableFolder::lockShared()
{
    for (int attempt = 0; m_fd >= 0 && attempt < 50; ++attempt) {
        if (lock(handleOf(m_fd), 0) || GetLastError() != ERROR_LOCK_VIOLATION)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool DurableFolder::lockExclusive()
{
    return lock(handleOf(m_fd), LOCKFILE_EXCLUSIVE_LOCK);
}

void DurableFolder::sync() { }

bool DurableFolder::syncFile(QFileDevice &file)
{
    if (!file.flush())
        return false;
    errno = 0;
    if (FlushFileBuffers(handleOf(file.handle())))
        return true;
    errno = GetLastError() == ERROR_DISK_FULL ? ENOSPC : EIO;
    return false;
}

} // namespace platform
