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

    bool isPaused() const { return m_end.isValid(); }
    /// When the pause ends (invalid outside a pause).
    QDateTime endsAt() const { return m_end; }
    /// Whether the pause holds this countdown, to start it again at its end.
    bool holds(const runtime::Timer *countdown) const;
    /// Starts a countdown now, or during a pause keeps it for the pause's end.
    void startOrHold(runtime::Timer *countdown);

Q_SIGNALS:
    /// A pause began, moved its end, or ended.
    void changed();

private:
    void waitForEnd();

    std::vector<runtime::Timer *> m_countdowns;
    Clock m_now;
    QDateTime m_end;
    std::vector<runtime::Timer *> m_held;
    QTimer m_endTimer;
};

} // namespace companion
