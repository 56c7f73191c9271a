#include "companion/workinghours.h"

#include "reminders/reminders.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace companion {

using Hold = reminders::Reminders::Hold;

WorkingHours::WorkingHours(reminders::Reminders &reminders, Clock now, QObject *parent)
    : QObject(parent)
    , m_reminders(reminders)
    , m_now(std::move(now))
    , m_wake(new QTimer(this))
{
    m_wake->setObjectName(QStringLiteral("workingHours"));
    m_wake->setSingleShot(true);
    m_wake->setTimerType(Qt::CoarseTimer);
    connect(m_wake, &QTimer::timeout, this, &WorkingHours::check);
    for (const alerts::Slot k : alerts::kSlots)
        connect(&reminders.slot(k), &reminders::ReminderSlot::ticked, this, [this] {
            if (m_on && !isWorkingTime(m_now()))
                check();
        });
}

WorkingHours::~WorkingHours()
{
    m_reminders.release(Hold::OffHours);
}

void WorkingHours::set(bool on, const std::array<bool, 7> &days, const QTime &from, const QTime &to)
{
    m_on = on;
    m_days = days;
    m_from = from;
    m_to = to;
    check();
}

bool WorkingHours::isOutside() const
{
    return m_reminders.isHeld(Hold::OffHours);
}

bool WorkingHours::isWorkingTime(const QDateTime &at) const
{
    const QDate day = at.date();
    const QTime time = at.time();
    const auto works = [this](const QDate &d) { return m_days[size_t(d.dayOfWeek() - 1)]; };
    if (m_from == m_to)
        return works(day);
    if (m_from < m_to)
        return works(day) && time >= m_from && time < m_to;
    // Past midnight: the evening belongs to this day's shift, the early morning to the
    // shift that began the day before.
    return (works(day) && time >= m_from) || (works(day.addDays(-1)) && time < m_to);
}

QDateTime WorkingHours::nextChange(const QDateTime &at) const
{
    // Working time changes only at its beginning or end, on one of the next eight days.
    QDateTime next;
    for (int d = 0; d <= 8; ++d) {
        const QDate day = at.date().addDays(d);
        for (const QTime &t : {m_from, m_to}) {
            const QDateTime candidate(day, t);
            if (candidate > at && (!next.isValid() || candidate < next))
                next = candidate;
        }
    }
    return next;
}

void WorkingHours::check()
{
    m_wake->stop();
    const QDateTime now = m_now();
    const bool outside = m_on && !isWorkingTime(now);
    if (m_on) {
        if (const QDateTime next = nextChange(now); next.isValid()) {
            // The timer may come early (the clock was set back): it only looks again then.
            const qint64 left = std::max<qint64>(now.msecsTo(next), 0);
            m_wake->start(int(std::min<qint64>(left + 1, std::numeric_limits<int>::max())));
        }
    }
    if (outside == isOutside())
        return;
    m_reminders.setHeld(Hold::OffHours, outside);
    Q_EMIT outsideChanged(outside);
}

} // namespace companion
