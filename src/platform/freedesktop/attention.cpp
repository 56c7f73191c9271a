#include "platform/attention.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

/// GNOME Shell holds this name on the session bus.
const QString kGnomeShell = QStringLiteral("org.gnome.Shell");
const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");

/// How long the notification server may take to answer, started by the bus if need be.
constexpr int kServerTimeoutMs = 5000;

} // namespace

/// The toolkit's request (the window's demands-attention state on X11), which task bars
/// show by flashing the window's button. Under GNOME Shell, which shows the request as a
/// banner, the notification server is asked first whether it is there (the bus starts it
/// if it can); only if it is not is the request made.
Attention::Attention(QObject *parent)
    : QObject(parent)
{ }

void Attention::ask(QWidget *window)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusConnectionInterface *daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon || !daemon->isServiceRegistered(kGnomeShell).value()) {
        QApplication::alert(window);
        Q_EMIT asked(window);
        return;
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kNotifications, QStringLiteral("/org/freedesktop/Notifications"), kNotifications,
        QStringLiteral("GetServerInformation"));
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kServerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, target = QPointer<QWidget>(window)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (w->isError() && target) {
                    QApplication::alert(target);
                    Q_EMIT asked(target);
                }
            });
}

} // namespace platform
