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

namespace runtime {

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
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            m_later->start();
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
        // What a click or a key press ran (a menu, a message box, starting a countdown)
        // is done with a while after the user lets go.
        m_later->start();
        break;
    default:
        break;
    }
    return false;
}

qint64 MemoryRelease::releaseNow()
{
    qint64 dropped = 0;
#ifdef Q_OS_LINUX
    // Files mapped read-only and private (the font files, the code and constant data of the
    // program and its libraries) lose their pages if none of them was ever written: a later
    // read maps them in again from the file, as after the system reclaimed them itself. A
    // mapping with a written page (data relocated at start and made read-only afterwards)
    // keeps all its pages: dropping them would lose what was written.
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (smaps.open(QIODevice::ReadOnly | QIODevice::Text)) {
        const QByteArray all = smaps.readAll();
        struct Mapping {
            unsigned long long start = 0, end = 0;
            bool droppable = false;
        };
        Mapping m;
        const auto drop = [&dropped](const Mapping &done) {
            if (done.droppable
                && madvise(reinterpret_cast<void *>(done.start), done.end - done.start, MADV_DONTNEED) == 0)
                dropped += qint64(done.end - done.start);
        };
        for (qsizetype at = 0; at < all.size();) {
            qsizetype next = all.indexOf('\n', at);
            if (next < 0)
                next = all.size();
            const QByteArray line = all.sliced(at, next - at);
            at = next + 1;
            // A mapping's line: start-end perms offset device inode path (which may hold
            // blanks); then lines "Field: value" about it.
            unsigned long long start = 0, end = 0;
            char perms[5] = {};
            int pathAt = 0;
            if (line.startsWith("Anonymous:")) {
                if (line.sliced(10).trimmed() != "0 kB")
                    m.droppable = false;
            } else if (std::sscanf(line.constData(), "%llx-%llx %4s %*s %*s %*s %n", &start, &end, perms, &pathAt)
                       >= 3) {
                drop(m);
                const QByteArray path = pathAt > 0 ? line.sliced(pathAt).trimmed() : QByteArray();
                m = Mapping{start, end};
                m.droppable = end > start && perms[1] == '-' && perms[3] == 'p' && path.startsWith('/')
                              && !path.startsWith("/dev/") && !path.startsWith("/memfd:");
            }
        }
        drop(m);
    }
#endif
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    return dropped;
}

} // namespace runtime
