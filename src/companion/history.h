#pragma once

#include "alerts/slot.h"
#include "reminders/reminderslot.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <vector>

namespace companion {

/// The record of the reminders: each one as it opens and as it ends (acknowledged, put
/// off, or still open when the program ended), with its slot and times, and when it fell
/// due if it waited for a presentation to end; and the natural rests of the eyes (an
/// absence that started the eye rest afresh), in a SQLite database. Every change is written at once, so a record survives the program being
/// killed; a year's worth is kept. The reminders never depend on it: without a database
/// nothing is recorded.
class History
{
public:
    using Clock = std::function<QDateTime()>;

    /// How opening the database went.
    enum class Opened {
        Fine,
        Damaged,    ///< the file could not be read: kept aside (keptAs()), a fresh one started
        Unavailable, ///< no database can be written: nothing is recorded
        NoDriver     ///< the toolkit has no SQLite driver: nothing is recorded
    };

    /// The acknowledged reminders of one day, per slot.
    struct Day {
        QDate date;
        std::array<int, 3> acknowledged{};
    };

    History(QString path, Clock now);
    ~History();
    History(const History &) = delete;
    History &operator=(const History &) = delete;

    /// Opens the database (made with its folder where there is none), deletes what is
    /// older than a year.
    Opened open();
    const QString &path() const { return m_path; }
    /// Where a damaged file was kept.
    const QString &keptAs() const { return m_keptAs; }

    /// The reminder of slot fell due and waits to open.
    void waiting(alerts::Slot slot);
    void opened(alerts::Slot slot);
    void ended(alerts::Slot slot, reminders::End how);
    /// The eyes rested during an absence of so long: the eye rest counts afresh.
    void rested(alerts::Slot slot, std::chrono::seconds absence);
    /// The reminders still open end now, as the program does.
    void endAllOpen();

    /// The last count days, today the last of them.
    std::vector<Day> lastDays(int count) const;

private:
    bool openAndCheck();
    void close();

    QString m_path;
    Clock m_now;
    QString m_connection;
    QString m_keptAs;
    bool m_open = false;
    std::array<qint64, 3> m_rows{}; ///< each slot's open reminder (0: none)
    std::array<QDateTime, 3> m_due;  ///< when each slot's waiting reminder fell due
};

} // namespace companion
