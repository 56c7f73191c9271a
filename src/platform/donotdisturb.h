#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace platform {

/// Whether the person presents or has asked not to be disturbed, as the desktop tells:
/// its do-not-disturb switch, a program holding the session's idle inhibitor (a video or a
/// meeting playing), the window in front being full screen. On a freedesktop desktop:
/// GNOME's org.gnome.desktop.notifications show-banners (read through GSettings in a GNOME
/// session), the Inhibited property of org.freedesktop.Notifications (KDE Plasma and
/// others), GNOME's session manager's idle inhibitors, and the X11 active window's
/// _NET_WM_STATE_FULLSCREEN; on Windows SHQueryUserNotificationState answering busy,
/// full-screen Direct3D or presentation mode. Whatever a desktop does not offer is simply
/// never seen; nothing fails.
class DoNotDisturb : public QObject
{
    Q_OBJECT
public:
    /// Stands in for the desktop's answer when given (tests).
    using State = std::function<bool()>;

    explicit DoNotDisturb(State state = {}, QObject *parent = nullptr);
    ~DoNotDisturb() override;

    /// Follows the desktop's state from now on (its announcements, and where it announces
    /// nothing a look now and then); stop() lets go. Nothing is followed before start().
    void start();
    void stop();

    /// The state now: what has been heard, and what the desktop is asked at this moment.
    bool isOn() const;

    class Desktop;

Q_SIGNALS:
    /// The state may have changed (only while started).
    void changed();

private:
    State m_state;
    std::unique_ptr<Desktop> m_desktop;
};

} // namespace platform
