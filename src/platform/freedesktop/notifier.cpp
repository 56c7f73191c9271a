#include "platform/notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <array>

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
class Notifier::Service
{
public:
    explicit Service(Setup setup)
        : m_setup(std::move(setup))
    { }

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
    , m_service(std::make_unique<Service>(std::move(setup)))
{ }

Notifier::~Notifier() = default;

void Notifier::notify(int key, const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    Service::Sent &sent = m_service->m_sent[size_t(key)];
    QDBusMessage notify = call(QStringLiteral("Notify"));
    const Setup &setup = m_service->m_setup;
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true},
                            {QStringLiteral("desktop-entry"), setup.desktopEntry}};
    notify << setup.applicationName << sent.id << setup.iconName << summary << body << QStringList() << hints
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
