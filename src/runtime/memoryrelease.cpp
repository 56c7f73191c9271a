#include "runtime/memoryrelease.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <cstdio>
#include <cstring>

namespace runtime {
namespace {

bool isFontFile(QByteArrayView path)
{
    path = path.trimmed();
    for (const char *ending : {".ttf", ".ttc", ".otf", ".otc", ".pfb", ".pfa"}) {
        if (path.size() > 4 && path.last(4).compare(ending, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

MemoryRelease::MemoryRelease(QObject *parent)
    : QObject(parent)
{
#ifdef __GLIBC__
    // A fixed threshold: the C library would otherwise raise it after the first large
    // buffer is freed and keep later ones, up to twice that size, in its heap for good.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    m_later = new QTimer(this);
    m_later->setSingleShot(true);
    m_later->setInterval(kDelayMs);
    m_later->setTimerType(Qt::CoarseTimer);
    connect(m_later, &QTimer::timeout, this, [] { releaseNow(); });
    QCoreApplication::instance()->installEventFilter(this);
}

MemoryRelease::~MemoryRelease()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool MemoryRelease::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWidgetType()
        && static_cast<QWidget *>(watched)->isWindow())
        m_later->start();
    return false;
}

qint64 MemoryRelease::releaseNow()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    qint64 fontBytes = 0;
#ifdef Q_OS_LINUX
    // The font library maps each font file read-only and private: dropping its pages
    // loses nothing, a later read maps them in again from the file.
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    const QByteArray all = maps.readAll();
    for (const QByteArray &line : all.split('\n')) {
        // start-end perms offset device inode path (which may hold blanks)
        unsigned long long start = 0, end = 0;
        char perms[5] = {};
        int pathAt = 0;
        if (std::sscanf(line.constData(), "%llx-%llx %4s %*s %*s %*s %n", &start, &end, perms, &pathAt) < 3
            || pathAt == 0 || std::strcmp(perms, "r--p") != 0 || end <= start
            || !isFontFile(QByteArrayView(line).sliced(pathAt)))
            continue;
        if (madvise(reinterpret_cast<void *>(start), end - start, MADV_DONTNEED) == 0)
            fontBytes += qint64(end - start);
    }
#endif
    return fontBytes;
}

} // namespace runtime
