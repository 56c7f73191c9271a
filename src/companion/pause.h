#pragma once

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <vector>

namespace runtime {
class Timer;
}

namespace companion {

/// "暂停全部提醒": stops the countdowns that run, so that no reminder comes, and starts
/// exactly those again when the pause ends, at its time or earlier by resume(). The
/// countdowns' boxes are not touched: each goes on from where it stood.
///
/// The same hold keeps the countdowns while the user is away (setAway()): they go on
/// when he is back, unless a pause he chose still runs; coming back never ends his
/// pause, nor does the end of his pause end the hold while he is away.
class Pause : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    /// countdowns: the slots' timers. now: the wall clock (tests give their own).
    explicit Pause(std::vector<runtime::Timer *> countdowns, Clock now = &QDateTime::currentDateTime,
                   QObject *parent = nullptr);

    /// Pauses from now on for length; during a pause, it ends length from now instead.
    void pauseFor(std::chrono::minutes length);
    /// Ends the pause: the countdowns it stopped start again. Nothing happens outside a pause.
    void resume();
    /// Ends the pause if its time has come, else waits for the rest of it.
    void endIfDue();

    /// Whether the user is away: the countdowns are held until he is back.
    void setAway(bool away);

    /// A pause the user chose runs.
    bool isPaused() const { return m_end.isValid(); }
    bool isAway() const { return m_away; }
    /// The countdowns are held, by a pause or while the user is away.
    bool isHolding() const { return isPaused() || m_away; }
    /// When the pause ends (invalid outside a pause).
    QDateTime endsAt() const { return m_end; }
    /// Whether the pause holds this countdown, to start it again at its end.
    bool holds(const runtime::Timer *countdown) const;
    /// Starts a countdown now, or while they are held keeps it for the hold's end.
    void startOrHold(runtime::Timer *countdown);

Q_SIGNALS:
    /// A pause began, moved its end, or ended; the user went away or came back.
    void changed();

private:
    void waitForEnd();
    void holdRunning();
    void startHeld();

    std::vector<runtime::Timer *> m_countdowns;
    Clock m_now;
    QDateTime m_end;
    bool m_away = false;
    std::vector<runtime::Timer *> m_held;
    QTimer m_endTimer;
};

} // namespace companion
