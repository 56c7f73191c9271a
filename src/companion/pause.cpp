#include "companion/pause.h"

#include "runtime/timer.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace companion {

Pause::Pause(std::vector<runtime::Timer *> countdowns, Clock now, QObject *parent)
    : QObject(parent)
    , m_countdowns(std::move(countdowns))
    , m_now(std::move(now))
{
    m_endTimer.setSingleShot(true);
    connect(&m_endTimer, &QTimer::timeout, this, &Pause::endIfDue);
}

void Pause::holdRunning()
{
    for (runtime::Timer *countdown : m_countdowns) {
        if (countdown->Enabled()) {
            countdown->setEnabled(false);
            m_held.push_back(countdown);
        }
    }
}

void Pause::startHeld()
{
    const std::vector<runtime::Timer *> held = std::exchange(m_held, {});
    for (runtime::Timer *countdown : held)
        countdown->setEnabled(true);
}

void Pause::pauseFor(std::chrono::minutes length)
{
    holdRunning();
    m_end = m_now().addSecs(std::chrono::seconds(length).count());
    waitForEnd();
    Q_EMIT changed();
}

void Pause::resume()
{
    if (!isPaused())
        return;
    m_endTimer.stop();
    m_end = QDateTime();
    if (!m_away)
        startHeld();
    Q_EMIT changed();
}

void Pause::setAway(bool away)
{
    if (away == m_away)
        return;
    m_away = away;
    if (away)
        holdRunning();
    else if (!isPaused())
        startHeld();
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
    m_endTimer.start(int(std::min<qint64>(left + 1, std::numeric_limits<int>::max())));
}

bool Pause::holds(const runtime::Timer *countdown) const
{
    return std::find(m_held.begin(), m_held.end(), countdown) != m_held.end();
}

void Pause::startOrHold(runtime::Timer *countdown)
{
    if (!isHolding())
        countdown->setEnabled(true);
    else if (!holds(countdown))
        m_held.push_back(countdown);
}

} // namespace companion
