#include "platform/donotdisturb.h"
#include "platform/x11/windowproperties.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QGuiApplication>

#include <dlfcn.h>

#include <optional>
#include <utility>

// GLib's headers name a structure member "signals", which the toolkit defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace platform {
namespace {

const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");
const QString kNotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInhibited = QStringLiteral("Inhibited");
const QString kSessionManager = QStringLiteral("org.gnome.SessionManager");
const QString kSessionManagerPath = QStringLiteral("/org/gnome/SessionManager");
/// The session manager's inhibitor flag for "do not count the session as idle": what a
/// video player or a meeting program holds while it plays.
constexpr uint kIdleInhibitor = 8;

constexpr char kNotificationSchema[] = "org.gnome.desktop.notifications";
constexpr char kShowBanners[] = "show-banners";

/// Whether the desktop is GNOME (XDG_CURRENT_DESKTOP "GNOME", "ubuntu:GNOME" ...): only
/// there does its banner switch mean do-not-disturb; a switch left behind by an earlier
/// GNOME session must not count on another desktop.
bool gnomeSession()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':')).contains(QLatin1String("GNOME"));
}

/// The entry points of GIO (and the GObject and GLib functions it brings) that the banner
/// switch uses, from the library loaded at the first start in a GNOME session: linked to
/// the program, GIO and GObject would cost every run some 160 KiB of private memory;
/// elsewhere they are never loaded.
class Gio
{
public:
    /// GIO, loaded once for the whole run (GObject's types cannot be unloaded); none when
    /// it is not installed or lacks an entry point.
    static const Gio *load()
    {
        static const Gio gio(dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_LOCAL));
        return gio.m_missing == 0 ? &gio : nullptr;
    }

    /// GNOME's notification settings, if this system knows their schema with a boolean
    /// show-banners key; none otherwise (settings of a schema that is not installed abort
    /// the program).
    GSettings *notificationSettings() const
    {
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema = source ? g_settings_schema_source_lookup(source, kNotificationSchema, TRUE) : nullptr;
        if (!schema)
            return nullptr;
        GSettings *settings = nullptr;
        if (g_settings_schema_has_key(schema, kShowBanners)) {
            GSettingsSchemaKey *key = g_settings_schema_get_key(schema, kShowBanners);
            if (g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_BOOLEAN))
                settings = g_settings_new_full(schema, nullptr, nullptr);
            g_settings_schema_key_unref(key);
        }
        g_settings_schema_unref(schema);
        return settings;
    }

private:
    explicit Gio(void *library)
        : m_library(library)
    { }
    template <typename Function>
    Function entry(const char *name)
    {
        const auto function = m_library ? reinterpret_cast<Function>(dlsym(m_library, name)) : nullptr;
        m_missing += function == nullptr;
        return function;
    }

    void *m_library;
    int m_missing = 0;

public:
    // Each entry point under its own name, typed as GIO's headers declare it (resolved
    // after the two members above, in the order of declaration).
#define QUORVANE_GIO_ENTRY(function) const decltype(&::function) function = entry<decltype(&::function)>(#function)
    QUORVANE_GIO_ENTRY(g_settings_schema_source_get_default);
    QUORVANE_GIO_ENTRY(g_settings_schema_source_lookup);
    QUORVANE_GIO_ENTRY(g_settings_schema_has_key);
    QUORVANE_GIO_ENTRY(g_settings_schema_get_key);
    QUORVANE_GIO_ENTRY(g_settings_schema_key_get_value_type);
    QUORVANE_GIO_ENTRY(g_variant_type_equal);
    QUORVANE_GIO_ENTRY(g_settings_schema_key_unref);
    QUORVANE_GIO_ENTRY(g_settings_schema_unref);
    QUORVANE_GIO_ENTRY(g_settings_new_full);
    QUORVANE_GIO_ENTRY(g_settings_get_boolean);
    QUORVANE_GIO_ENTRY(g_signal_connect_data);
    QUORVANE_GIO_ENTRY(g_signal_handler_disconnect);
    QUORVANE_GIO_ENTRY(g_object_unref);
#undef QUORVANE_GIO_ENTRY
};

bool holdsTrue(const QDBusVariant &value)
{
    return value.variant().toBool();
}

bool isTrue(const bool &value)
{
    return value;
}

/// The events this program hears of a window; none when the window is gone.
std::optional<uint32_t> eventMask(xcb_connection_t *c, xcb_window_t window)
{
    const x11::Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes ? std::optional<uint32_t>(attributes->your_event_mask) : std::nullopt;
}

/// Checked, so that a window closed meanwhile is no error for the toolkit to report.
bool setEventMask(xcb_connection_t *c, xcb_window_t window, uint32_t mask)
{
    const x11::Reply<xcb_generic_error_t> error(
        xcb_request_check(c, xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask)));
    return !error;
}

/// Lets this program hear the property changes of a window; whether that was added now
/// (not when the toolkit hears them already for a window of its own, nor when the window
/// is gone).
bool listenToProperties(xcb_connection_t *c, xcb_window_t window)
{
    const std::optional<uint32_t> mask = eventMask(c, window);
    return mask && !(*mask & XCB_EVENT_MASK_PROPERTY_CHANGE)
           && setEventMask(c, window, *mask | XCB_EVENT_MASK_PROPERTY_CHANGE);
}

/// Undoes listenToProperties(): a window the user has left no longer wakes the program
/// when, say, its title changes.
void stopListeningToProperties(xcb_connection_t *c, xcb_window_t window)
{
    if (const std::optional<uint32_t> mask = eventMask(c, window))
        setEventMask(c, window, *mask & ~uint32_t(XCB_EVENT_MASK_PROPERTY_CHANGE));
}

} // namespace

/// What the desktop tells, heard while started: GNOME's banner switch through GSettings,
/// the notification server's Inhibited property and GNOME's idle inhibitors on the session
/// bus, and on X11 the full-screen state of the window in front, followed through the
/// property changes of the root window (which window is in front) and of that window.
class DoNotDisturb::Desktop : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit Desktop(DoNotDisturb &owner)
        : m_owner(owner)
    { }
    ~Desktop() override { stop(); }

    void start();
    void stop();
    bool isOn() const;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private Q_SLOTS:
    void notificationPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                       const QStringList &invalidated);
    void inhibitorsChanged(const QDBusObjectPath &) { askIdleInhibited(); }

private:
    /// One thing heard from the desktop. asked counts the questions put to it, so that an
    /// answer overtaken by a later question, or coming after stop(), is dropped.
    struct Heard {
        bool on = false;
        unsigned asked = 0;
    };
    /// The X server of the toolkit's connection and the names of the properties followed.
    struct XServer {
        xcb_connection_t *c = nullptr;
        xcb_window_t root = XCB_WINDOW_NONE;
        xcb_atom_t activeWindow = XCB_ATOM_NONE, state = XCB_ATOM_NONE;
    };

    bool heard() const { return m_banners.on || m_inhibited.on || m_idleInhibited.on || m_fullScreen; }
    void set(bool &flag, bool on);

    void startBus();
    template <typename Reply>
    void ask(Heard &source, QDBusMessage call, bool (*on)(const Reply &));
    void askInhibited();
    void askIdleInhibited();
    void serviceOwnerChanged(const QString &service, const QString &, const QString &owner);

    bool bannersOff() const { return !m_gio->g_settings_get_boolean(m_settings, kShowBanners); }
    static void bannersChanged(GSettings *, gchar *, gpointer desktop)
    {
        auto *self = static_cast<Desktop *>(desktop);
        self->set(self->m_banners.on, self->bannersOff());
    }

    const XServer *xServer() const;
    xcb_window_t front() const;
    bool isFullScreen(xcb_window_t window) const;
    void follow(xcb_window_t window);

    DoNotDisturb &m_owner;
    bool m_listening = false;
    Heard m_banners, m_inhibited, m_idleInhibited;
    bool m_fullScreen = false;
    const Gio *m_gio = nullptr;
    GSettings *m_settings = nullptr;
    gulong m_bannersHandler = 0;
    QDBusServiceWatcher *m_services = nullptr;
    mutable std::optional<XServer> m_x;     // looked up at first need: it does not change
    bool m_rootListened = false;            // this program hears the root's properties because of us
    xcb_window_t m_front = XCB_WINDOW_NONE; // the window in front whose properties are followed
    bool m_frontListened = false;
};

void DoNotDisturb::Desktop::set(bool &flag, bool on)
{
    if (!m_listening)
        return;
    const bool before = heard();
    flag = on;
    if (heard() != before)
        Q_EMIT m_owner.changed();
}

void DoNotDisturb::Desktop::start()
{
    if (m_listening)
        return;
    m_listening = true;
    // What can be read at once is the state at the start, which isOn() tells: no changed()
    // for it. Answers on the bus come later and announce themselves.
    if (gnomeSession() && (m_gio = Gio::load()) && (m_settings = m_gio->notificationSettings())) {
        // Connected before the first read: GSettings announces changes only of keys read.
        m_bannersHandler = m_gio->g_signal_connect_data(
            m_settings, "changed::show-banners", G_CALLBACK(&Desktop::bannersChanged), this, nullptr, GConnectFlags(0));
        m_banners.on = bannersOff();
    }
    startBus();
    if (const XServer *x = xServer()) {
        m_rootListened = listenToProperties(x->c, x->root);
        follow(front());
        m_fullScreen = isFullScreen(m_front);
        QCoreApplication::instance()->installNativeEventFilter(this);
        xcb_flush(x->c);
    }
}

void DoNotDisturb::Desktop::startBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // A service that goes takes its word with it; one that comes is asked.
    m_services = new QDBusServiceWatcher(kNotifications, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    m_services->addWatchedService(kSessionManager);
    connect(m_services, &QDBusServiceWatcher::serviceOwnerChanged, this, &Desktop::serviceOwnerChanged);
    bus.connect(kNotifications, kNotificationsPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                SLOT(notificationPropertiesChanged(QString, QVariantMap, QStringList)));
    for (const QString &name : {QStringLiteral("InhibitorAdded"), QStringLiteral("InhibitorRemoved")})
        bus.connect(kSessionManager, kSessionManagerPath, kSessionManager, name, this,
                    SLOT(inhibitorsChanged(QDBusObjectPath)));
    askInhibited();
    askIdleInhibited();
}

void DoNotDisturb::Desktop::stop()
{
    if (!m_listening)
        return;
    m_listening = false;
    if (m_settings) {
        m_gio->g_signal_handler_disconnect(m_settings, m_bannersHandler);
        m_gio->g_object_unref(m_settings);
        m_settings = nullptr;
    }
    if (m_services) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.disconnect(kNotifications, kNotificationsPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                       SLOT(notificationPropertiesChanged(QString, QVariantMap, QStringList)));
        for (const QString &name : {QStringLiteral("InhibitorAdded"), QStringLiteral("InhibitorRemoved")})
            bus.disconnect(kSessionManager, kSessionManagerPath, kSessionManager, name, this,
                           SLOT(inhibitorsChanged(QDBusObjectPath)));
        delete std::exchange(m_services, nullptr);
    }
    // (Once the toolkit has gone, its X connection has gone with it, and with the
    // connection all the server knew of what this program listens to.)
    if (const XServer *x = m_x && qGuiApp ? &*m_x : nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        follow(XCB_WINDOW_NONE);
        if (std::exchange(m_rootListened, false))
            stopListeningToProperties(x->c, x->root);
        xcb_flush(x->c);
    }
    for (Heard *source : {&m_banners, &m_inhibited, &m_idleInhibited}) {
        source->on = false;
        ++source->asked;
    }
    m_fullScreen = false;
}

bool DoNotDisturb::Desktop::isOn() const
{
    return m_banners.on || m_inhibited.on || m_idleInhibited.on || isFullScreen(front());
}

template <typename Reply>
void DoNotDisturb::Desktop::ask(Heard &source, QDBusMessage call, bool (*on)(const Reply &))
{
    call.setAutoStartService(false); // a question is no reason to start a notification server
    const unsigned question = ++source.asked;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, &source, question, on](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<Reply> reply = *w;
                if (source.asked == question && !reply.isError())
                    set(source.on, on(reply.value()));
            });
}

void DoNotDisturb::Desktop::askInhibited()
{
    QDBusMessage get =
        QDBusMessage::createMethodCall(kNotifications, kNotificationsPath, kProperties, QStringLiteral("Get"));
    get << kNotifications << kInhibited;
    ask<QDBusVariant>(m_inhibited, get, &holdsTrue);
}

void DoNotDisturb::Desktop::askIdleInhibited()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kSessionManager, kSessionManagerPath, kSessionManager,
                                                       QStringLiteral("IsInhibited"));
    call << kIdleInhibitor;
    ask<bool>(m_idleInhibited, call, &isTrue);
}

void DoNotDisturb::Desktop::notificationPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                                          const QStringList &invalidated)
{
    if (interface != kNotifications)
        return;
    if (changed.contains(kInhibited))
        set(m_inhibited.on, changed.value(kInhibited).toBool());
    else if (invalidated.contains(kInhibited))
        askInhibited();
}

void DoNotDisturb::Desktop::serviceOwnerChanged(const QString &service, const QString &, const QString &owner)
{
    Heard &source = service == kNotifications ? m_inhibited : m_idleInhibited;
    ++source.asked; // what the one before said no longer holds
    set(source.on, false);
    if (!owner.isEmpty())
        service == kNotifications ? askInhibited() : askIdleInhibited();
}

const DoNotDisturb::Desktop::XServer *DoNotDisturb::Desktop::xServer() const
{
    if (!m_x) {
        xcb_connection_t *c = x11::connection();
        if (!c)
            return nullptr; // not on X11 (or not yet): looked for again next time
        XServer x;
        x.c = c;
        // The first screen's root: the one every screen of a usual desktop shares.
        x.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        x.activeWindow = x11::atom(c, "_NET_ACTIVE_WINDOW");
        x.state = x11::atom(c, "_NET_WM_STATE");
        m_x = x;
    }
    return &*m_x;
}

xcb_window_t DoNotDisturb::Desktop::front() const
{
    const XServer *x = xServer();
    return x ? x11::activeWindow(x->c, x->root) : xcb_window_t(XCB_WINDOW_NONE);
}

bool DoNotDisturb::Desktop::isFullScreen(xcb_window_t window) const
{
    return window != XCB_WINDOW_NONE && x11::isFullScreen(xServer()->c, window);
}

void DoNotDisturb::Desktop::follow(xcb_window_t window)
{
    if (window == m_front)
        return;
    xcb_connection_t *c = m_x->c;
    if (std::exchange(m_frontListened, false))
        stopListeningToProperties(c, m_front);
    m_front = window;
    if (window != XCB_WINDOW_NONE)
        m_frontListened = listenToProperties(c, window);
}

bool DoNotDisturb::Desktop::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t"
        || (static_cast<const xcb_generic_event_t *>(message)->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *event = static_cast<const xcb_property_notify_event_t *>(message);
    if (event->window == m_x->root && event->atom == m_x->activeWindow) {
        follow(front());
        set(m_fullScreen, isFullScreen(m_front));
        xcb_flush(m_x->c);
    } else if (event->window == m_front && event->atom == m_x->state) {
        set(m_fullScreen, isFullScreen(m_front));
    }
    return false;
}

DoNotDisturb::DoNotDisturb(State state, QObject *parent)
    : QObject(parent)
    , m_state(std::move(state))
    , m_desktop(std::make_unique<Desktop>(*this))
{ }

DoNotDisturb::~DoNotDisturb() = default;

void DoNotDisturb::start()
{
    if (!m_state)
        m_desktop->start();
}

void DoNotDisturb::stop()
{
    m_desktop->stop();
}

bool DoNotDisturb::isOn() const
{
    return m_state ? m_state() : m_desktop->isOn();
}

} // namespace platform

#include "donotdisturb.moc"
