#include "platform/notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <array>
#include <utility>

namespace platform {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

void close(quint32 id)
{
    QDBusMessage message = call(QStringLiteral("CloseNotification"));
    message << id;
    QDBusConnection::sessionBus().send(message);
}

} // namespace

/// org.freedesktop.Notifications on the session bus.
class Notifier::Service : public QObject
{
    Q_OBJECT
public:
    Service(Notifier &owner, Setup setup)
        : m_owner(owner)
        , m_setup(std::move(setup))
    { }

    /// Listens for the server's word that an action was chosen, from the first
    /// notification with an action on.
    void listenForActions()
    {
        if (std::exchange(m_listening, true))
            return;
        QDBusConnection::sessionBus().connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                                              SLOT(actionInvoked(uint, QString)));
    }

public Q_SLOTS:
    void actionInvoked(uint id, const QString &action)
    {
        if (id == 0 || action != kActionKey)
            return;
        for (size_t key = 0; key < m_sent.size(); ++key) {
            if (m_sent[key].open && m_sent[key].id == id)
                Q_EMIT m_owner.actionInvoked(int(key));
        }
    }

public:
    static inline const QString kActionKey = QStringLiteral("action");
    Notifier &m_owner;
    bool m_listening = false;

    /// What the server was told about one key's notification.
    struct Sent {
        quint32 id = 0;       ///< the server's number for it; 0 before its answer
        bool open = false;    ///< sent and not withdrawn
        bool answered = true; ///< the server has given its number
    };

    Setup m_setup;
    std::array<Sent, kKeys> m_sent;
};

Notifier::Notifier(Setup setup, QObject *parent)
    : QObject(parent)
    , m_service(std::make_unique<Service>(*this, std::move(setup)))
{ }

Notifier::~Notifier() = default;

void Notifier::notify(int key, const QString &summary, const QString &body, const QString &action)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    Service::Sent &sent = m_service->m_sent[size_t(key)];
    QDBusMessage notify = call(QStringLiteral("Notify"));
    const Setup &setup = m_service->m_setup;
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("desktop-entry"), setup.desktopEntry}};
    QStringList actions;
    if (!action.isEmpty()) {
        m_service->listenForActions();
        actions << Service::kActionKey << action;
    }
    notify << setup.applicationName << sent.id << setup.iconName << summary << body << actions << hints
           << qint32(-1);
    sent.open = true;
    sent.answered = false;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, key](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        Service::Sent &sent = m_service->m_sent[size_t(key)];
        const QDBusPendingReply<quint32> reply = *w;
        sent.answered = true;
        if (reply.isError())
            return; // no server: nothing to replace or withdraw
        sent.id = reply.value();
        if (!sent.open)
            close(sent.id); // withdrawn before the server answered
    });
}

void Notifier::withdraw(int key)
{
    Service::Sent &sent = m_service->m_sent[size_t(key)];
    if (!sent.open)
        return;
    sent.open = false;
    if (sent.answered && sent.id != 0)
        close(sent.id);
}

} // namespace platform

#include "notifier.moc"
