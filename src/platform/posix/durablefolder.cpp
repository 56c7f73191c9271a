#include "platform/durablefolder.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

// The folder's own descriptor carries an advisory lock (flock) and is what fsync makes
// the folder's entries durable through.

DurableFolder::DurableFolder(const QString &path)
    : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{ }

DurableFolder::~DurableFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void DurableFolder::lockShared()
{
    for (int attempt = 0; m_fd >= 0 && attempt < 50; ++attempt) {
        if (::flock(m_fd, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool DurableFolder::lockExclusive()
{
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

void DurableFolder::sync()
{
    if (m_fd >= 0)
        ::fsync(m_fd);
}

bool DurableFolder::syncFile(QFileDevice &file)
{
    errno = 0;
    return ::fsync(file.handle()) == 0;
}

} // namespace platform
