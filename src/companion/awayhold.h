#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace alerts {
class Beeper;
}

namespace platform {
class AwayDetector;
}

namespace companion {

class Pause;

/// "离开电脑时暂停计时": while the user is away (his session locked, or no input for the
/// given minutes) the countdowns hold as during a pause and an open reminder does not
/// beep; when he is back they go on, and an open reminder beeps again if the sound switch
/// is on. The idle time is looked at only while the choice is on, and rarely: when the
/// user was last seen a minute ago and he is away after five, the next look is in four
/// minutes; while he is away, every two seconds, so that his return is seen at once.
class AwayHold : public QObject
{
    Q_OBJECT
public:
    /// reminderOpen: whether a reminder window is open now.
    AwayHold(platform::AwayDetector &detector, Pause &pause, alerts::Beeper &beeper,
             std::function<bool()> reminderOpen, QObject *parent = nullptr);

    void setEnabled(bool on);
    void setAwayAfter(std::chrono::minutes after) { m_after = after; }
    /// Looks at the idle time now, holds or lets go, and says when to look again.
    void check();

    /// How long while away until the idle time is looked at again.
    static constexpr std::chrono::milliseconds kAwayPoll{2000};

private:
    void update();

    platform::AwayDetector &m_detector;
    Pause &m_pause;
    alerts::Beeper &m_beeper;
    std::function<bool()> m_reminderOpen;
    std::chrono::minutes m_after{5};
    bool m_enabled = false;
    bool m_idle = false; ///< no input for m_after
    QTimer m_poll;
};

} // namespace companion
