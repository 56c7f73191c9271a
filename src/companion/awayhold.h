#pragma once

#include <QDateTime>
#include <QObject>

#include <chrono>
#include <functional>

class QTimer;

namespace platform {
class AwayDetector;
}

namespace reminders {
class Reminders;
}

namespace companion {

/// "离开电脑时暂停计时": while the user is away (his session locked, or no input for the
/// given minutes) the countdowns hold and an open reminder does not beep; when he is back
/// they go on, and an open reminder beeps again if the sound switch is on. The idle time
/// is looked at only while the choice is on, and rarely (the timer "awayPoll"): when the
/// user was last seen a minute ago and he is away after five, the next look is in four
/// minutes; while he is away, every two seconds, so that his return is seen at once.
class AwayHold : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    /// now: the wall clock, which measures an absence (tests give their own).
    AwayHold(platform::AwayDetector &detector, reminders::Reminders &reminders, Clock now, QObject *parent = nullptr);
    /// Its hold goes with it.
    ~AwayHold() override;

    void setEnabled(bool on);
    void setAwayAfter(std::chrono::minutes after);
    std::chrono::minutes awayAfter() const { return m_after; }
    bool isAway() const;

    /// How long while away until the idle time is looked at again.
    static constexpr std::chrono::milliseconds kAwayPoll{2000};

Q_SIGNALS:
    /// The user went away or came back.
    void awayChanged(bool away);
    /// The user is back after an absence of so long: since his last input, or since his
    /// session was locked.
    void back(std::chrono::seconds absence);

private:
    /// Looks at the idle time now, holds or lets go, and says when to look again.
    void check();
    void update();

    platform::AwayDetector &m_detector;
    reminders::Reminders &m_reminders;
    Clock m_now;
    std::chrono::minutes m_after{5};
    bool m_enabled = false;
    bool m_idle = false; ///< no input for m_after
    std::chrono::milliseconds m_lastIdle{0}; ///< the idle time at the last look
    QDateTime m_since; ///< when the absence began
    QTimer *m_poll;
};

} // namespace companion
