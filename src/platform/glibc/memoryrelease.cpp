#include "platform/memoryrelease.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <malloc.h>

namespace platform {

MemoryRelease::MemoryRelease(QObject *parent)
    : QObject(parent)
{
    // A fixed threshold: the C library would otherwise raise it after the first large
    // buffer is freed and keep later ones, up to twice that size, in its heap for good.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
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

void MemoryRelease::releaseNow()
{
    malloc_trim(0);
}

} // namespace platform
