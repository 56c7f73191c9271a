#include "platform/awaydetector.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <array>
#include <memory>

#include "ext-idle-notify-v1-client-protocol.h"
#include <wayland-client.h>

namespace platform {
namespace {

/// The screen savers that announce a locked session on the session bus: the freedesktop
/// one (KDE Plasma, Xfce, LXQt ...) and GNOME's.
struct ScreenSaver {
    const char *service, *path;
};
constexpr std::array<ScreenSaver, 2> kScreenSavers{{
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver"},
}};

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kSession = QStringLiteral("org.freedesktop.login1.Session");

/// GNOME's idle time (Mutter's idle monitor), which counts every input the session gets.
const QString kIdleMonitor = QStringLiteral("org.gnome.Mutter.IdleMonitor");
/// How long the question may take: it is asked on the program's thread.
constexpr int kIdleTimeoutMs = 1000;

/// The idle time as GNOME's idle monitor tells it on the session bus; none elsewhere. (The
/// freedesktop screen saver's session idle time is not asked: its desktops count it in
/// seconds or in milliseconds, and KDE Plasma on Wayland does not tell it.)
std::optional<std::chrono::milliseconds> gnomeIdleTime()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    const QDBusMessage reply = bus.call(
        QDBusMessage::createMethodCall(kIdleMonitor, QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                                       kIdleMonitor, QStringLiteral("GetIdletime")),
        QDBus::Block, kIdleTimeoutMs);
    bool ok = false;
    const qulonglong ms = reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 1
                              ? reply.arguments().constFirst().toULongLong(&ok)
                              : 0;
    return ok ? std::optional(std::chrono::milliseconds(ms)) : std::nullopt;
}

/// Whether the program runs in a Wayland session (through XWayland or not).
bool inWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

/// The compositor's word that the user has given it no input for a while (the Wayland
/// idle notification), on a Wayland connection of the program's own: the toolkit may
/// talk to XWayland, which sees only X programs' input. The compositor says when input
/// has paused for kStep and when it comes again, so the idle time is known to kStep.
class WaylandIdle : public QObject
{
public:
    static constexpr std::chrono::milliseconds kStep{5000};

    /// A connection to the session's compositor, if it offers the idle notification.
    static std::unique_ptr<WaylandIdle> connect();
    ~WaylandIdle() override;

    std::optional<std::chrono::milliseconds> idleTime() const
    {
        if (!m_display)
            return std::nullopt; // the compositor has gone
        return m_idleSince.isValid() ? std::chrono::milliseconds(m_idleSince.elapsed()) + kStep
                                     : std::chrono::milliseconds(0);
    }

private:
    void readEvents();
    void drop();

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    ext_idle_notifier_v1 *m_notifier = nullptr;
    ext_idle_notification_v1 *m_notification = nullptr;
    QSocketNotifier *m_socket = nullptr;
    QElapsedTimer m_idleSince; ///< since kStep after the last input; invalid while input comes
};

std::unique_ptr<WaylandIdle> WaylandIdle::connect()
{
    auto idle = std::unique_ptr<WaylandIdle>(new WaylandIdle);
    idle->m_display = wl_display_connect(nullptr);
    if (!idle->m_display)
        return nullptr;
    static const wl_registry_listener registryListener = {
        [](void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t) {
            auto *self = static_cast<WaylandIdle *>(data);
            if (!self->m_seat && qstrcmp(interface, wl_seat_interface.name) == 0)
                self->m_seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
            else if (qstrcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
                self->m_notifier = static_cast<ext_idle_notifier_v1 *>(
                    wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        },
        [](void *, wl_registry *, uint32_t) {},
    };
    idle->m_registry = wl_display_get_registry(idle->m_display);
    wl_registry_add_listener(idle->m_registry, &registryListener, idle.get());
    if (wl_display_roundtrip(idle->m_display) < 0 || !idle->m_seat || !idle->m_notifier)
        return nullptr;
    static const ext_idle_notification_v1_listener notificationListener = {
        [](void *data, ext_idle_notification_v1 *) { static_cast<WaylandIdle *>(data)->m_idleSince.start(); },
        [](void *data, ext_idle_notification_v1 *) { static_cast<WaylandIdle *>(data)->m_idleSince.invalidate(); },
    };
    idle->m_notification =
        ext_idle_notifier_v1_get_idle_notification(idle->m_notifier, uint32_t(kStep.count()), idle->m_seat);
    ext_idle_notification_v1_add_listener(idle->m_notification, &notificationListener, idle.get());
    wl_display_flush(idle->m_display);
    idle->m_socket = new QSocketNotifier(wl_display_get_fd(idle->m_display), QSocketNotifier::Read, idle.get());
    QObject::connect(idle->m_socket, &QSocketNotifier::activated, idle.get(), &WaylandIdle::readEvents);
    return idle;
}

void WaylandIdle::readEvents()
{
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    if (wl_display_read_events(m_display) < 0 || wl_display_dispatch_pending(m_display) < 0) {
        drop(); // the compositor has gone: the idle time is unknown from now on
        return;
    }
    wl_display_flush(m_display);
}

void WaylandIdle::drop()
{
    delete std::exchange(m_socket, nullptr);
    if (m_notification)
        ext_idle_notification_v1_destroy(std::exchange(m_notification, nullptr));
    if (m_notifier)
        ext_idle_notifier_v1_destroy(std::exchange(m_notifier, nullptr));
    if (m_seat)
        wl_seat_destroy(std::exchange(m_seat, nullptr));
    if (m_registry)
        wl_registry_destroy(std::exchange(m_registry, nullptr));
    if (m_display)
        wl_display_disconnect(std::exchange(m_display, nullptr));
    m_idleSince.invalidate();
}

WaylandIdle::~WaylandIdle()
{
    drop();
}

/// The X server's idle time (at the end of this file, with Xlib).
std::optional<std::chrono::milliseconds> xIdleTime();

} // namespace

/// The lock as the screen savers and logind announce it: locked while any of them says so.
class AwayDetector::Service : public QObject
{
    Q_OBJECT
public:
    explicit Service(AwayDetector &owner)
        : m_owner(owner)
    { }

    void start();
    void stop();
    bool locked() const { return m_saver[0] || m_saver[1] || m_login; }
    std::optional<std::chrono::milliseconds> idleTime() const;

public Q_SLOTS:
    void freedesktopActiveChanged(bool active) { set(m_saver[0], active); }
    void gnomeActiveChanged(bool active) { set(m_saver[1], active); }
    void sessionPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &)
    {
        if (interface == kSession && changed.contains(QStringLiteral("LockedHint")))
            set(m_login, changed.value(QStringLiteral("LockedHint")).toBool());
    }

private:
    void set(bool &flag, bool value)
    {
        const bool before = locked();
        flag = value;
        if (m_listening && locked() != before)
            Q_EMIT m_owner.lockedChanged(locked());
    }
    /// Calls a method and hands its answer to use, unless it fails (no such service).
    template <typename Reply>
    void ask(QDBusConnection bus, const QDBusMessage &call, std::function<void(const Reply &)> use)
    {
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, use](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<Reply> reply = *w;
            if (m_listening && !reply.isError())
                use(reply.value());
        });
    }
    void watchLoginSession(const QDBusObjectPath &session);

    AwayDetector &m_owner;
    bool m_listening = false;
    std::array<bool, 2> m_saver{};
    bool m_login = false;
    QString m_sessionPath;
    std::unique_ptr<WaylandIdle> m_wayland; ///< while listening in a Wayland session that offers it
};

void AwayDetector::Service::start()
{
    if (m_listening)
        return;
    m_listening = true;
    if (inWaylandSession())
        m_wayland = WaylandIdle::connect();
    QDBusConnection session = QDBusConnection::sessionBus();
    if (session.isConnected()) {
        const char *const handlers[2] = {SLOT(freedesktopActiveChanged(bool)), SLOT(gnomeActiveChanged(bool))};
        for (size_t k = 0; k < kScreenSavers.size(); ++k) {
            const QString service = QLatin1String(kScreenSavers[k].service);
            // Any path: KDE announces on /ScreenSaver as well as on the freedesktop path.
            session.connect(service, QString(), service, QStringLiteral("ActiveChanged"), this, handlers[k]);
            ask<bool>(session,
                      QDBusMessage::createMethodCall(service, QLatin1String(kScreenSavers[k].path), service,
                                                     QStringLiteral("GetActive")),
                      [this, k](bool active) { set(m_saver[k], active); });
        }
    }
    QDBusConnection system = QDBusConnection::systemBus();
    if (system.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(kLogin, QStringLiteral("/org/freedesktop/login1"),
                                                           QStringLiteral("org.freedesktop.login1.Manager"),
                                                           QStringLiteral("GetSession"));
        call << QStringLiteral("auto");
        ask<QDBusObjectPath>(system, call, [this](const QDBusObjectPath &path) { watchLoginSession(path); });
    }
}

void AwayDetector::Service::watchLoginSession(const QDBusObjectPath &session)
{
    QDBusConnection system = QDBusConnection::systemBus();
    m_sessionPath = session.path();
    system.connect(kLogin, m_sessionPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                   SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
    QDBusMessage get = QDBusMessage::createMethodCall(kLogin, m_sessionPath, kProperties, QStringLiteral("Get"));
    get << kSession << QStringLiteral("LockedHint");
    ask<QDBusVariant>(system, get, [this](const QDBusVariant &value) { set(m_login, value.variant().toBool()); });
}

void AwayDetector::Service::stop()
{
    if (!m_listening)
        return;
    m_listening = false;
    QDBusConnection session = QDBusConnection::sessionBus();
    const char *const handlers[2] = {SLOT(freedesktopActiveChanged(bool)), SLOT(gnomeActiveChanged(bool))};
    for (size_t k = 0; k < kScreenSavers.size(); ++k) {
        const QString service = QLatin1String(kScreenSavers[k].service);
        session.disconnect(service, QString(), service, QStringLiteral("ActiveChanged"), this, handlers[k]);
    }
    if (!m_sessionPath.isEmpty())
        QDBusConnection::systemBus().disconnect(kLogin, std::exchange(m_sessionPath, QString()), kProperties,
                                                QStringLiteral("PropertiesChanged"), this,
                                                SLOT(sessionPropertiesChanged(QString, QVariantMap, QStringList)));
    m_saver = {};
    m_login = false;
    m_wayland.reset();
}

std::optional<std::chrono::milliseconds> AwayDetector::Service::idleTime() const
{
    if (std::optional<std::chrono::milliseconds> idle = gnomeIdleTime())
        return idle;
    if (m_wayland)
        return m_wayland->idleTime();
    // In a Wayland session the X server (XWayland) sees only the input of X programs:
    // someone typing into any other window would look away.
    if (inWaylandSession())
        return std::nullopt;
    return xIdleTime();
}

AwayDetector::AwayDetector(IdleTime idle, QObject *parent)
    : QObject(parent)
    , m_idle(std::move(idle))
    , m_service(std::make_unique<Service>(*this))
{ }

AwayDetector::~AwayDetector() = default;

void AwayDetector::start()
{
    m_service->start();
}

void AwayDetector::stop()
{
    m_service->stop();
}

bool AwayDetector::isLocked() const
{
    return m_service->locked();
}

std::optional<std::chrono::milliseconds> AwayDetector::idleTime() const
{
    return m_idle ? m_idle() : m_service->idleTime();
}

} // namespace platform

#include "awaydetector.moc"

// Xlib's headers last: they define macros (None, Bool, Status) that the toolkit's headers
// and the generated code above use as names.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace platform {
namespace {

/// The X server's idle time through the screen saver extension, on the toolkit's own
/// X connection; none off X11 (Wayland tells no program of the user's input).
std::optional<std::chrono::milliseconds> xIdleTime()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    int event = 0, error = 0;
    if (!display || !XScreenSaverQueryExtension(display, &event, &error))
        return std::nullopt;
    XScreenSaverInfo *info = XScreenSaverAllocInfo();
    if (!info)
        return std::nullopt;
    const bool known = XScreenSaverQueryInfo(display, DefaultRootWindow(display), info) != 0;
    const std::chrono::milliseconds idle(info->idle);
    XFree(info);
    if (known)
        return idle;
    return std::nullopt;
}

} // namespace
} // namespace platform
