// The desktop's side of a private session bus in the bus tests: the fakes of the
// desktop's services are offered on a connection of its own, as another program's.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

namespace testsupport {

struct DesktopBus {
    DesktopBus() { QVERIFY2(bus.isConnected(), "no session bus (run under dbus-run-session)"); }
    ~DesktopBus() { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); }
    DesktopBus(const DesktopBus &) = delete;
    DesktopBus &operator=(const DesktopBus &) = delete;

    /// Takes the service's name; with an object, offers its slots and properties at path.
    bool offer(const QString &service, const QString &path = {}, QObject *object = nullptr)
    {
        return bus.registerService(service)
               && (!object
                   || bus.registerObject(path, object,
                                         QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
    }
    void announce(const QString &path, const QString &interface, const QString &name, const QVariantList &args)
    {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
        signal.setArguments(args);
        bus.send(signal);
    }

    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop"));
};

} // namespace testsupport
