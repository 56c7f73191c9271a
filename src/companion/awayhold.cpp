#include "companion/awayhold.h"

#include "platform/awaydetector.h"
#include "reminders/reminders.h"

#include <QTimer>

#include <algorithm>

namespace companion {

using namespace std::chrono_literals;

AwayHold::AwayHold(platform::AwayDetector &detector, reminders::Reminders &reminders, QObject *parent)
    : QObject(parent)
    , m_detector(detector)
    , m_reminders(reminders)
    , m_poll(new QTimer(this))
{
    m_poll->setObjectName(QStringLiteral("awayPoll"));
    m_poll->setSingleShot(true);
    connect(m_poll, &QTimer::timeout, this, &AwayHold::check);
    connect(&m_detector, &platform::AwayDetector::lockedChanged, this, &AwayHold::update);
}

void AwayHold::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (on) {
        m_detector.start();
        check();
    } else {
        m_detector.stop();
        m_poll->stop();
        m_idle = false;
        update();
    }
}

void AwayHold::check()
{
    if (!m_enabled)
        return;
    const std::optional<std::chrono::milliseconds> idle = m_detector.idleTime();
    if (!idle) {
        m_idle = false; // the desktop does not tell: only the lock counts
        update();
        return;
    }
    m_idle = *idle >= m_after;
    // Looked at again when the minutes would run out if no input came meanwhile.
    const std::chrono::milliseconds next = m_idle ? kAwayPoll : std::max<std::chrono::milliseconds>(m_after - *idle, 1s);
    m_poll->start(next);
    update();
}

void AwayHold::update()
{
    const bool away = m_enabled && (m_idle || m_detector.isLocked());
    if (away == m_away)
        return;
    m_away = away;
    if (away)
        m_reminders.hold(reminders::Reminders::Hold::Away);
    else
        m_reminders.release(reminders::Reminders::Hold::Away);
    Q_EMIT awayChanged(away);
}

} // namespace companion
