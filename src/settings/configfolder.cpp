#include "settings/configfolder.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace settings {

ConfigFolder::ConfigFolder(const QString &path)
{
#ifdef Q_OS_UNIX
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#else
    Q_UNUSED(path);
#endif
}

ConfigFolder::~ConfigFolder()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void ConfigFolder::lockShared()
{
#ifdef Q_OS_UNIX
    for (int attempt = 0; m_fd >= 0 && attempt < 50; ++attempt) {
        if (::flock(m_fd, LOCK_SH | LOCK_NB) == 0 || errno != EWOULDBLOCK)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
#endif
}

bool ConfigFolder::lockExclusive()
{
#ifdef Q_OS_UNIX
    return m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
#else
    return false;
#endif
}

void ConfigFolder::sync()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0)
        ::fsync(m_fd);
#endif
}

} // namespace settings
