#include "companion/notifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace companion {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage call(const QString &method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

} // namespace

Notifier::Notifier(QString iconName, QObject *parent)
    : QObject(parent)
    , m_icon(std::move(iconName))
{ }

void Notifier::notify(int slot, const QString &topic, const QString &message)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    Sent &sent = m_sent[size_t(slot)];
    QDBusMessage notify = call(QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("suppress-sound"), true}, {QStringLiteral("desktop-entry"), m_icon}};
    notify << QStringLiteral("Quorvane") << sent.id << m_icon << QStringLiteral("到时啦")
           << topic + QStringLiteral("：") + message << QStringList() << hints << qint32(-1);
    sent.open = true;
    sent.answered = false;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, slot](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        Sent &sent = m_sent[size_t(slot)];
        const QDBusPendingReply<quint32> reply = *w;
        sent.answered = true;
        if (reply.isError())
            return; // no server: nothing to replace or withdraw
        sent.id = reply.value();
        if (!sent.open)
            close(sent.id); // acknowledged before the server answered
    });
}

void Notifier::withdraw(int slot)
{
    Sent &sent = m_sent[size_t(slot)];
    if (!sent.open)
        return;
    sent.open = false;
    if (sent.answered && sent.id != 0)
        close(sent.id);
}

void Notifier::close(quint32 id)
{
    QDBusMessage message = call(QStringLiteral("CloseNotification"));
    message << id;
    QDBusConnection::sessionBus().send(message);
}

} // namespace companion
