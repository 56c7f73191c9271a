// The additions on a private session bus, against fakes of the desktop's services: the
// reminder's notification puts it off through its action, and the screen savers' word
// that the session is locked holds the countdowns.
#include "companion/companionprogram.h"
#include "desktopbus.h"
#include "testmain.h"

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

/// A notification server that records what it is told.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList actions;
    QList<uint> closed;
    uint last = 40;

public Q_SLOTS:
    uint Notify(const QString &, uint, const QString &, const QString &, const QString &, const QStringList &actions,
                const QVariantMap &, int)
    {
        this->actions = actions;
        return ++last;
    }
    void CloseNotification(uint id) { closed << id; }
};

/// A screen saver that is active or not, the freedesktop one or GNOME's.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    bool active = false;
    int asked = 0; ///< GetActive calls, of either screen saver

public Q_SLOTS:
    bool GetActive()
    {
        ++asked;
        return active;
    }
};
class FakeGnomeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.ScreenSaver")
public:
    explicit FakeGnomeScreenSaver(FakeScreenSaver &state)
        : m_state(state)
    { }
public Q_SLOTS:
    bool GetActive() { return m_state.GetActive(); }

private:
    FakeScreenSaver &m_state;
};


} // namespace

class TestCompanionBus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void notificationActionPutsOff();
    void lockedSessionHolds_data();
    void lockedSessionHolds();
};

void TestCompanionBus::notificationActionPutsOff()
{
    DesktopBus desktop;
    FakeNotifications server;
    QVERIFY(desktop.offer(u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s, &server));
    Program p;
    p.slot(0).check->setChecked(true); // 0/0/0: the tick opens the reminder
    QStringList offered;
    bool gone = false;
    p.tick(0, [&](QWidget *w) {
        (void)QTest::qWaitFor([&server] { return !server.actions.isEmpty(); }, 5000);
        offered = server.actions;
        desktop.announce(u"/org/freedesktop/Notifications"_s, u"org.freedesktop.Notifications"_s,
                         u"ActionInvoked"_s, {server.last, offered.value(0)});
        gone = QTest::qWaitFor([w] { return !w->isVisible(); }, 5000);
        if (!gone)
            acknowledge(w);
    });
    QCOMPARE(offered.value(1), u"5 分钟后再提醒"_s);
    QVERIFY(gone);
    QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, u"5"_s, u"0"_s}));
    QVERIFY(p.slot(0).timer->isActive());
    QTRY_COMPARE(server.closed, QList<uint>{server.last});
}

void TestCompanionBus::lockedSessionHolds_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("path");
    QTest::newRow("freedesktop") << u"org.freedesktop.ScreenSaver"_s << u"/org/freedesktop/ScreenSaver"_s;
    QTest::newRow("GNOME") << u"org.gnome.ScreenSaver"_s << u"/org/gnome/ScreenSaver"_s;
}

void TestCompanionBus::lockedSessionHolds()
{
    QFETCH(QString, service);
    QFETCH(QString, path);
    DesktopBus desktop;
    FakeScreenSaver saver;
    FakeGnomeScreenSaver gnome(saver);
    QVERIFY(desktop.offer(service, path, service.contains(u"gnome"_s) ? static_cast<QObject *>(&gnome) : &saver));
    Program p("[Reminders]\nAwayHold=true\n"); // no idle time here: only the lock counts
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(1, u"1"_s, u"0"_s, u"0"_s);
    p.form->Label2_Click();
    p.tick(0);
    p.tick(1);
    const QStringList left = boxTexts(p.slot(0)), eyes = boxTexts(p.slot(1));
    // Asked for the present state: the program listens for the announcements by then.
    QTRY_VERIFY(saver.asked > 0);
    QVERIFY(p.slot(0).timer->isActive());

    desktop.announce(path, service, u"ActiveChanged"_s, {true});
    QTRY_VERIFY(!p.slot(0).timer->isActive());
    QVERIFY(p.toolTip().startsWith(u"已暂停（离开电脑）"_s));
    desktop.announce(path, service, u"ActiveChanged"_s, {false});
    QTRY_VERIFY(p.slot(0).timer->isActive());
    QCOMPARE(boxTexts(p.slot(0)), left);
    // Locked for less than the away minutes: the eyes have not rested, the eye rest goes on.
    QCOMPARE(boxTexts(p.slot(1)), eyes);
    QVERIFY(p.slot(1).timer->isActive());

    // Locked already when the program starts: asked, not only heard.
    saver.active = true;
    p.restart();
    QTRY_VERIFY(p.toolTip().startsWith(u"已暂停（离开电脑）"_s));
    // With the choice off, a lock holds nothing.
    p.menu().awayHold()->trigger();
    QVERIFY(p.slot(0).timer->isActive());
    desktop.announce(path, service, u"ActiveChanged"_s, {true});
    QTest::qWait(100);
    QVERIFY(p.slot(0).timer->isActive());
}

QUORVANE_TEST_CLASS(TestCompanionBus)
#include "tst_companionbus.moc"
