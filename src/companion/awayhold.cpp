#include "companion/awayhold.h"

#include "platform/awaydetector.h"
#include "reminders/reminders.h"

#include <QTimer>

#include <algorithm>

namespace companion {

using namespace std::chrono_literals;

AwayHold::AwayHold(platform::AwayDetector &detector, reminders::Reminders &reminders, Clock now, QObject *parent)
    : QObject(parent)
    , m_detector(detector)
    , m_reminders(reminders)
    , m_now(std::move(now))
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

AwayHold::~AwayHold()
{
    m_reminders.release(reminders::Reminders::Hold::Away);
}

void AwayHold::setAwayAfter(std::chrono::minutes after)
{
    m_after = after;
    check();
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
    m_lastIdle = *idle;
    m_idle = *idle >= m_after;
    // Looked at again when the minutes would run out if no input came meanwhile.
    const std::chrono::milliseconds next = m_idle ? kAwayPoll : std::max<std::chrono::milliseconds>(m_after - *idle, 1s);
    m_poll->start(next);
    update();
}

bool AwayHold::isAway() const
{
    return m_reminders.isHeld(reminders::Reminders::Hold::Away);
}

void AwayHold::update()
{
    const bool away = m_enabled && (m_idle || m_detector.isLocked());
    if (away == isAway())
        return;
    const QDateTime now = m_now();
    // Gone since his last input when that is what shows him away, else since now.
    if (away)
        m_since = m_idle ? now.addMSecs(-m_lastIdle.count()) : now;
    m_reminders.setHeld(reminders::Reminders::Hold::Away, away);
    Q_EMIT awayChanged(away);
    if (!away && m_enabled)
        Q_EMIT back(std::chrono::seconds(m_since.secsTo(now)));
}

} // namespace companion
