#pragma once

#include <QDateTime>
#include <QObject>

#include <array>
#include <functional>

class QTimer;

namespace reminders {
class Reminders;
}

namespace companion {

/// "只在工作时间提醒": outside the working days and hours the countdowns hold as during a
/// pause (kept where they stood, no reminder, no beep) and go on when working time begins.
/// Working time runs from its beginning to its end on each working day; an end at or
/// before the beginning runs past midnight into the next day (a night shift), and equal
/// times mean the whole day. A pause the person chose is his own: neither the beginning
/// nor the end of working time ends it.
///
/// One wake-up at the next beginning or end (the timer "workingHours"); the wall clock
/// decides when that has come, and each tick of a countdown looks again, so that a
/// computer woken from sleep past the end holds its countdowns at its first tick.
class WorkingHours : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    WorkingHours(reminders::Reminders &reminders, Clock now, QObject *parent = nullptr);
    /// Its hold goes with it.
    ~WorkingHours() override;

    /// Whether the countdowns hold outside working time, and when that is.
    void set(bool on, const std::array<bool, 7> &days, const QTime &from, const QTime &to);
    /// The countdowns hold now because working time is over.
    bool isOutside() const;

Q_SIGNALS:
    void outsideChanged(bool outside);

private:
    /// Holds or lets go as working time says now, and waits for its next change.
    void check();
    bool isWorkingTime(const QDateTime &at) const;
    /// The next beginning or end of working time after at; invalid when there is none.
    QDateTime nextChange(const QDateTime &at) const;

    reminders::Reminders &m_reminders;
    Clock m_now;
    bool m_on = false;
    std::array<bool, 7> m_days{};
    QTime m_from, m_to;
    QTimer *m_wake;
};

} // namespace companion
