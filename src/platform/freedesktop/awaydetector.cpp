#include "platform/awaydetector.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>

#include <array>

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
};

void AwayDetector::Service::start()
{
    if (m_listening)
        return;
    m_listening = true;
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
    return m_idle ? m_idle() : xIdleTime();
}

} // namespace platform

#include "awaydetector.moc"

// Xlib's headers last: they define macros (None, Bool, Status) that the toolkit's headers
// and the generated code above use as names.
#if QUORVANE_HAVE_XSS
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace platform {
namespace {

/// The X server's idle time through the screen saver extension, on the toolkit's own
/// X connection; none off X11 (Wayland tells no program of the user's input).
std::optional<std::chrono::milliseconds> xIdleTime()
{
#if QUORVANE_HAVE_XSS
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
#endif
    return std::nullopt;
}

} // namespace
} // namespace platform
