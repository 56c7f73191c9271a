#pragma once

#include <QObject>

#include <chrono>

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
    AwayHold(platform::AwayDetector &detector, reminders::Reminders &reminders, QObject *parent = nullptr);

    void setEnabled(bool on);
    void setAwayAfter(std::chrono::minutes after) { m_after = after; }
    bool isAway() const { return m_away; }

    /// How long while away until the idle time is looked at again.
    static constexpr std::chrono::milliseconds kAwayPoll{2000};

Q_SIGNALS:
    /// The user went away or came back.
    void awayChanged(bool away);

private:
    /// Looks at the idle time now, holds or lets go, and says when to look again.
    void check();
    void update();

    platform::AwayDetector &m_detector;
    reminders::Reminders &m_reminders;
    std::chrono::minutes m_after{5};
    bool m_enabled = false;
    bool m_idle = false; ///< no input for m_after
    bool m_away = false;
    QTimer *m_poll;
};

} // namespace companion
