// The freedesktop side of the platform layer on a private session bus, against fakes of
// the desktop's services: whether the main window asks for attention (not where GNOME
// Shell would make a second banner of it), and the idle time as the desktop tells it.
#include "desktopbus.h"
#include "platform/attention.h"
#include "platform/awaydetector.h"
#include "platform/singleinstance.h"
#include "testmain.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWidget>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

/// A notification server that tells who it is.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public Q_SLOTS:
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion)
    {
        vendor = u"test"_s;
        version = u"1"_s;
        specVersion = u"1.2"_s;
        return u"fake"_s;
    }
};

/// GNOME's idle monitor.
class FakeIdleMonitor : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    qulonglong idle = 0;
public Q_SLOTS:
    qulonglong GetIdletime() { return idle; }
};

/// A thread that serves the fakes moved to it while the test waits for their answers.
struct ServingThread {
    ServingThread() { thread.start(); }
    ~ServingThread()
    {
        thread.quit();
        thread.wait();
    }
    QThread thread;
};


} // namespace

class TestFreedesktopBus : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void attentionOnlyWithoutASecondBanner_data();
    void attentionOnlyWithoutASecondBanner();
    void idleTimeFromTheDesktop_data();
    void idleTimeFromTheDesktop();
    void aNameHolderThatDoesNotAnswerIsNoInstance();
};

void TestFreedesktopBus::attentionOnlyWithoutASecondBanner_data()
{
    QTest::addColumn<bool>("gnomeShell");
    QTest::addColumn<bool>("notificationServer");
    QTest::addColumn<bool>("asked");
    QTest::newRow("a task bar that flashes") << false << true << true;
    QTest::newRow("GNOME Shell, the notification shown") << true << true << false;
    QTest::newRow("GNOME Shell without a notification server") << true << false << true;
}

void TestFreedesktopBus::attentionOnlyWithoutASecondBanner()
{
    QFETCH(bool, gnomeShell);
    QFETCH(bool, notificationServer);
    QFETCH(bool, asked);
    DesktopBus desktop;
    FakeNotifications server;
    if (gnomeShell)
        QVERIFY(desktop.offer(u"org.gnome.Shell"_s));
    if (notificationServer)
        QVERIFY(desktop.offer(u"org.freedesktop.Notifications"_s, u"/org/freedesktop/Notifications"_s, &server));
    QWidget window;
    platform::Attention attention;
    QSignalSpy spy(&attention, &platform::Attention::asked);
    attention.ask(&window);
    if (asked) {
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QWidget *>(), &window);
    } else {
        QTest::qWait(300); // the server's answer has come
        QCOMPARE(spy.count(), 0);
    }
}

void TestFreedesktopBus::idleTimeFromTheDesktop_data()
{
    QTest::addColumn<bool>("gnome");
    QTest::addColumn<qint64>("idleMs"); // -1: none told
    QTest::newRow("GNOME's idle monitor") << true << qint64(70000);
    QTest::newRow("none (and no X server)") << false << qint64(-1);
}

void TestFreedesktopBus::idleTimeFromTheDesktop()
{
    QFETCH(bool, gnome);
    QFETCH(qint64, idleMs);
    ScopedEnvironment environment;
    environment.set("WAYLAND_DISPLAY", QByteArray()); // not the compositor of whoever runs the test
    DesktopBus desktop;
    FakeIdleMonitor monitor;
    monitor.idle = 70000;
    // The program asks for the idle time and waits for the answer: the fake answers from
    // a thread of its own.
    ServingThread serving;
    monitor.moveToThread(&serving.thread);
    if (gnome)
        QVERIFY(desktop.offer(u"org.gnome.Mutter.IdleMonitor"_s, u"/org/gnome/Mutter/IdleMonitor/Core"_s, &monitor));
    platform::AwayDetector detector;
    detector.start();
    const std::optional<std::chrono::milliseconds> idle = detector.idleTime();
    detector.stop();
    QCOMPARE(idle ? qint64(idle->count()) : qint64(-1), idleMs);
}

void TestFreedesktopBus::aNameHolderThatDoesNotAnswerIsNoInstance()
{
    // The program's name on the bus is held by a process that answers nothing (hung, or
    // not the program): a launch must not end without a word, and becomes the instance
    // that later launches find.
    DesktopBus desktop;
    const QString id = u"io.github.quorvane.Test"_s;
    QVERIFY(desktop.offer(id));
    QTemporaryDir runtime;
    auto first = std::make_unique<platform::SingleInstance>(id, runtime.path());
    QVERIFY(first->claim());
    QSignalSpy activated(first.get(), &platform::SingleInstance::activated);
    platform::SingleInstance second(id, runtime.path());
    QVERIFY(!second.claim());
    QTRY_COMPARE(activated.size(), 1);
}

QUORVANE_TEST_CLASS(TestFreedesktopBus)
#include "tst_freedesktopbus.moc"
