#pragma once

#include <QDateTime>
#include <QObject>

#include <chrono>
#include <functional>

class QTimer;

namespace reminders {
class Reminders;
}

namespace companion {

/// "暂停全部提醒": holds the countdowns, so that no reminder comes, until the pause ends,
/// at its time or earlier by resume(); then exactly the countdowns it held go on from
/// where they stood. A pause the user chose is his own: no other hold (away, working
/// hours) ends it, nor does its end end theirs.
class Pause : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    /// now: the wall clock (tests give their own).
    explicit Pause(reminders::Reminders &reminders, Clock now = &QDateTime::currentDateTime,
                   QObject *parent = nullptr);
    /// A pause still running ends with it.
    ~Pause() override;

    /// Pauses from now on for length; during a pause, it ends length from now instead.
    void pauseFor(std::chrono::minutes length);
    /// Ends the pause: the countdowns it held go on. Nothing happens outside a pause.
    void resume();
    bool isPaused() const { return m_end.isValid(); }
    /// When the pause ends (invalid outside a pause).
    QDateTime endsAt() const { return m_end; }

Q_SIGNALS:
    /// A pause began, moved its end, or ended.
    void changed();

private:
    /// Ends the pause if its time has come by the wall clock, else waits for the rest of
    /// it: what its single wake-up (the timer "pauseEnd") does.
    void endIfDue();
    void waitForEnd();

    reminders::Reminders &m_reminders;
    Clock m_now;
    QDateTime m_end;
    QTimer *m_endTimer;
};

} // namespace companion
