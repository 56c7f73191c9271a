#pragma once

#include <QObject>

namespace platform {
class DoNotDisturb;
}

namespace reminders {
class Reminders;
}

namespace companion {

/// "演示、全屏或免打扰时推迟提醒": while the person presents (the desktop's do-not-disturb,
/// a video or meeting holding the session awake, the window in front full screen), a
/// reminder that falls due does not open: its row waits at zero, ticked, without a beep or
/// a notification, and the reminder opens as soon as that ends. A reminder already open
/// when it begins stays, silent until it ends. Countdowns go on meanwhile.
///
/// The desktop is followed only while something could remind: a countdown runs, or a
/// reminder is open or waits; and asked once more at the moment a reminder falls due.
class PresentationHold : public QObject
{
    Q_OBJECT
public:
    PresentationHold(platform::DoNotDisturb &detector, reminders::Reminders &reminders, QObject *parent = nullptr);
    /// Its hold goes with it.
    ~PresentationHold() override;

    void setEnabled(bool on);

private:
    /// Holds or lets go as the desktop says now.
    void update();
    /// Follows the desktop while something could remind, and not otherwise.
    void follow();

    platform::DoNotDisturb &m_detector;
    reminders::Reminders &m_reminders;
    bool m_enabled = false;
    bool m_following = false;
};

} // namespace companion
