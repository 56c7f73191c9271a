// Presenting and do-not-disturb as a freedesktop desktop tells it, on a private session bus
// against fakes of its services: the notification server's Inhibited switch, GNOME's
// session manager's idle inhibitors, and GNOME's banner switch through GSettings (the
// in-memory backend, set from here).
#include "desktopbus.h"
#include "platform/donotdisturb.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDBusObjectPath>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

using namespace testsupport;
using namespace Qt::StringLiterals;
using platform::DoNotDisturb;

namespace {

const QString kNotifications = u"org.freedesktop.Notifications"_s;
const QString kSessionManager = u"org.gnome.SessionManager"_s;
constexpr uint kIdle = 8, kSuspend = 4;

/// A notification server with a do-not-disturb switch, as KDE Plasma's.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
    Q_PROPERTY(bool Inhibited MEMBER inhibited)
public:
    bool inhibited = false;
};

/// GNOME's session manager while inhibitors of the given flags are held.
class FakeSessionManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
public:
    uint flags = 0;
public Q_SLOTS:
    bool IsInhibited(uint asked) { return (flags & asked) != 0; }
};

/// One of the two services on the fake desktop, switched on and off as the desktop does
/// it, and announcing it (or not). The session manager holds an inhibitor of suspend all
/// along (a download): only one of idle (a video) counts.
class Service
{
public:
    Service(DesktopBus &desktop, const QString &name)
        : m_desktop(desktop)
        , m_name(name)
        , m_path(u'/' + QString(name).replace(u'.', u'/'))
    { }
    bool offer()
    {
        return m_desktop.offer(m_name, m_path, isServer() ? &m_server : static_cast<QObject *>(&m_manager));
    }
    void leave()
    {
        m_desktop.bus.unregisterObject(m_path);
        m_desktop.bus.unregisterService(m_name);
    }
    void set(bool on, bool announce = true)
    {
        m_server.inhibited = on;
        m_manager.flags = on ? kIdle | kSuspend : kSuspend;
        if (!announce)
            return;
        if (isServer())
            m_desktop.announce(m_path, u"org.freedesktop.DBus.Properties"_s, u"PropertiesChanged"_s,
                               {m_name, QVariantMap{{u"Inhibited"_s, on}}, QStringList()});
        else
            m_desktop.announce(m_path, m_name, on ? u"InhibitorAdded"_s : u"InhibitorRemoved"_s,
                               {QVariant::fromValue(QDBusObjectPath(m_path + u"/Inhibitor7"_s))});
    }

private:
    bool isServer() const { return m_name == kNotifications; }

    DesktopBus &m_desktop;
    QString m_name, m_path;
    FakeNotifications m_server;
    FakeSessionManager m_manager;
};

/// GNOME's notification settings as this process sees them; none without the schema.
GSettings *notificationSettings()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.notifications", TRUE) : nullptr;
    if (!schema)
        return nullptr;
    GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

} // namespace

class TestDoNotDisturbBus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void serviceSaysOn_data();
    void serviceSaysOn();
    void gnomeBannerSwitch_data();
    void gnomeBannerSwitch();
    void gnomeWithoutItsSchemas();
};

void TestDoNotDisturbBus::serviceSaysOn_data()
{
    QTest::addColumn<QString>("service");
    QTest::newRow("notification server, Inhibited") << kNotifications;
    QTest::newRow("GNOME session manager, idle inhibitor") << kSessionManager;
}

void TestDoNotDisturbBus::serviceSaysOn()
{
    QFETCH(QString, service);
    DesktopBus desktop;
    Service fake(desktop, service);
    fake.set(false, false);
    QVERIFY(fake.offer());
    DoNotDisturb dnd;
    QSignalSpy changed(&dnd, &DoNotDisturb::changed);
    dnd.start();
    fake.set(true);
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(dnd.isOn());
    fake.set(false);
    QTRY_COMPARE(changed.count(), 2);
    QVERIFY(!dnd.isOn());

    // On already when started: asked, not only heard.
    dnd.stop();
    fake.set(true, false);
    dnd.start();
    QTRY_VERIFY(dnd.isOn());
    QCOMPARE(changed.count(), 3);
    // The service goes (it crashed, it is replaced) while on: its word goes with it; the
    // one that comes is asked.
    fake.leave();
    QTRY_VERIFY(!dnd.isOn());
    QVERIFY(fake.offer());
    QTRY_VERIFY(dnd.isOn());

    // Stopped, nothing is heard and nothing counts.
    dnd.stop();
    QVERIFY(!dnd.isOn());
    const qsizetype before = changed.count();
    fake.set(false);
    fake.set(true);
    QTest::qWait(100);
    QCOMPARE(changed.count(), before);
    QVERIFY(!dnd.isOn());
}

void TestDoNotDisturbBus::gnomeBannerSwitch_data()
{
    QTest::addColumn<QByteArray>("currentDesktop");
    QTest::addColumn<bool>("counts");
    QTest::newRow("GNOME") << "GNOME"_ba << true;
    QTest::newRow("Ubuntu's GNOME") << "ubuntu:GNOME"_ba << true;
    QTest::newRow("KDE Plasma, a switch left by GNOME") << "KDE"_ba << false;
    QTest::newRow("not told") << ""_ba << false;
}

void TestDoNotDisturbBus::gnomeBannerSwitch()
{
    QFETCH(QByteArray, currentDesktop);
    QFETCH(bool, counts);
    ScopedEnvironment environment;
    environment.set("XDG_CURRENT_DESKTOP", currentDesktop);
    GSettings *settings = notificationSettings();
    if (!settings)
        QSKIP("GNOME's settings schemas are missing (gsettings-desktop-schemas)");
    const auto showBanners = [settings](bool show) {
        g_settings_set_boolean(settings, "show-banners", show);
    };
    showBanners(false);
    DoNotDisturb dnd;
    QSignalSpy changed(&dnd, &DoNotDisturb::changed);
    dnd.start();
    QCOMPARE(dnd.isOn(), counts);
    showBanners(true);
    QTRY_COMPARE(changed.count(), counts ? 1 : 0);
    QVERIFY(!dnd.isOn());
    showBanners(false);
    QTRY_COMPARE(changed.count(), counts ? 2 : 0);
    QCOMPARE(dnd.isOn(), counts);

    dnd.stop();
    QVERIFY(!dnd.isOn());
    showBanners(true);
    showBanners(false);
    QTest::qWait(50);
    QCOMPARE(changed.count(), counts ? 2 : 0);
    showBanners(true);
    g_object_unref(settings);
}

void TestDoNotDisturbBus::gnomeWithoutItsSchemas()
{
    // GSettings aborts the program that opens a schema it does not know: the detector must
    // look first. Which schemas a process knows is settled at its first look, so the case
    // runs in a process of its own.
    if (qEnvironmentVariableIsSet("QUORVANE_WITHOUT_SCHEMAS")) {
        DoNotDisturb dnd;
        dnd.start();
        QVERIFY(!dnd.isOn());
        dnd.stop();
        return;
    }
    QTemporaryDir noSchemas;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QUORVANE_WITHOUT_SCHEMAS"_s, u"1"_s);
    environment.insert(u"XDG_CURRENT_DESKTOP"_s, u"GNOME"_s);
    environment.insert(u"XDG_DATA_DIRS"_s, noSchemas.path());
    environment.remove(u"GSETTINGS_SCHEMA_DIR"_s);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {u"gnomeWithoutItsSchemas"_s});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QUORVANE_TEST_CLASS(TestDoNotDisturbBus)
#include "tst_donotdisturbbus.moc"
