#include "companion/pause.h"

#include "reminders/reminders.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace companion {

using Hold = reminders::Reminders::Hold;

Pause::Pause(reminders::Reminders &reminders, Clock now, QObject *parent)
    : QObject(parent)
    , m_reminders(reminders)
    , m_now(std::move(now))
    , m_endTimer(new QTimer(this))
{
    m_endTimer->setObjectName(QStringLiteral("pauseEnd"));
    m_endTimer->setSingleShot(true);
    connect(m_endTimer, &QTimer::timeout, this, &Pause::endIfDue);
}

Pause::~Pause()
{
    m_reminders.release(Hold::Pause);
}

void Pause::pauseFor(std::chrono::minutes length)
{
    m_reminders.hold(Hold::Pause);
    m_end = m_now().addSecs(std::chrono::seconds(length).count());
    waitForEnd();
    Q_EMIT changed();
}

void Pause::resume()
{
    if (!isPaused())
        return;
    m_endTimer->stop();
    m_end = QDateTime();
    m_reminders.release(Hold::Pause);
    Q_EMIT changed();
}

void Pause::endIfDue()
{
    if (!isPaused())
        return;
    if (m_now() >= m_end)
        resume();
    else
        waitForEnd();
}

void Pause::waitForEnd()
{
    // The single wake-up of a pause. The wall clock decides when it is over: a timer that
    // fires early (the clock was set back) only waits again.
    const qint64 left = std::max<qint64>(m_now().msecsTo(m_end), 0);
    m_endTimer->start(int(std::min<qint64>(left + 1, std::numeric_limits<int>::max())));
}

} // namespace companion
