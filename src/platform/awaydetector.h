#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

/// What the desktop tells of the user being away: whether his session is locked, as the
/// desktop announces it, and how long ago he last pressed a key or moved the mouse. On a
/// freedesktop desktop the lock comes from the screen saver on the session bus
/// (org.freedesktop.ScreenSaver, org.gnome.ScreenSaver) and logind's LockedHint on the
/// system bus, the idle time from GNOME's idle monitor, the Wayland compositor's idle
/// notification or the X server's screen saver extension (never XWayland's, which sees
/// only X programs' input); on Windows from the session lock notification and the last
/// input time.
/// Whatever the desktop does not offer is simply never reported.
class AwayDetector : public QObject
{
    Q_OBJECT
public:
    /// Time since the last keyboard or mouse input; none where the desktop does not tell.
    using IdleTime = std::function<std::optional<std::chrono::milliseconds>()>;

    /// idle stands in for the desktop's idle time when given (tests give their own).
    explicit AwayDetector(IdleTime idle = {}, QObject *parent = nullptr);
    ~AwayDetector() override;

    /// Begins listening for the desktop's lock announcements (and asks for the present
    /// state); stop() stops listening. Nothing is listened to before start().
    void start();
    void stop();

    bool isLocked() const;
    std::optional<std::chrono::milliseconds> idleTime() const;

    class Service;

Q_SIGNALS:
    void lockedChanged(bool locked);

private:
    IdleTime m_idle;
    std::unique_ptr<Service> m_service;
};

} // namespace platform
