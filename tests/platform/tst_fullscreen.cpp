// The window in front being full screen, on an X11 desktop of the test's own (a private X
// server with openbox): a terminal the user makes full screen and back, another one he
// opens in front of it, and which windows' changes reach this program meanwhile. Exits 77
// (skipped) when the X server, the window manager or a tool is missing.
#include "platform/donotdisturb.h"
#include "platform/x11/windowproperties.h"

#include <QApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using platform::DoNotDisturb;
namespace x11 = platform::x11;

namespace {

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(x11::connection())).data->root;
}

xcb_window_t front()
{
    return x11::activeWindow(x11::connection(), root());
}

/// Whether this program hears the property changes of a window.
bool heard(xcb_window_t window)
{
    xcb_connection_t *c = x11::connection();
    const x11::Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && (attributes->your_event_mask & XCB_EVENT_MASK_PROPERTY_CHANGE);
}

/// Asks the window manager what the user would: a window to the front (-a), in or out of
/// full screen (-b add,fullscreen).
bool windowManager(const QString &action, xcb_window_t window, const QStringList &more = {})
{
    return QProcess::execute(u"wmctrl"_s, QStringList{u"-i"_s, action, QString::number(window)} + more) == 0;
}

/// A terminal the user works in, full screen or not.
class Terminal
{
public:
    explicit Terminal(bool fullScreen)
    {
        m_process.start(u"xterm"_s, fullScreen ? QStringList{u"-fullscreen"_s} : QStringList());
    }
    ~Terminal()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    /// Its window, once the window manager has put it in front; none if it does not.
    xcb_window_t inFront()
    {
        xcb_connection_t *c = x11::connection();
        const xcb_atom_t pid = x11::atom(c, "_NET_WM_PID");
        const auto ours = [&] {
            const xcb_window_t w = front();
            return w != XCB_WINDOW_NONE
                   && x11::readList(c, w, pid, XCB_ATOM_CARDINAL)
                          == std::vector<uint32_t>{uint32_t(m_process.processId())};
        };
        return QTest::qWaitFor(ours, 10000) ? front() : xcb_window_t(XCB_WINDOW_NONE);
    }

private:
    QProcess m_process;
};

} // namespace

class TestFullScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullScreenWindowInFront();
};

void TestFullScreen::fullScreenWindowInFront()
{
    const bool rootHeard = heard(root());
    DoNotDisturb dnd;
    QSignalSpy changed(&dnd, &DoNotDisturb::changed);
    dnd.start();
    Terminal film(true);
    const xcb_window_t filmWindow = film.inFront();
    QVERIFY(filmWindow != XCB_WINDOW_NONE);
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(dnd.isOn());

    // Out of full screen and back, as with the program's own full-screen key.
    QVERIFY(windowManager(u"-r"_s, filmWindow, {u"-b"_s, u"remove,fullscreen"_s}));
    QTRY_COMPARE(changed.count(), 2);
    QVERIFY(!dnd.isOn());
    QVERIFY(windowManager(u"-r"_s, filmWindow, {u"-b"_s, u"add,fullscreen"_s}));
    QTRY_COMPARE(changed.count(), 3);
    QVERIFY(dnd.isOn());

    // Another window in front: the full-screen one behind it counts no more, and its
    // changes (a title that counts down a video's time) no longer reach this program.
    Terminal editor(false);
    const xcb_window_t editorWindow = editor.inFront();
    QVERIFY(editorWindow != XCB_WINDOW_NONE);
    QTRY_COMPARE(changed.count(), 4);
    QVERIFY(!dnd.isOn());
    QVERIFY(!heard(filmWindow));
    QVERIFY(heard(editorWindow));

    // Stopped: nothing is listened to, and the full-screen window back in front announces
    // nothing; asked, the detector still tells.
    dnd.stop();
    QVERIFY(!heard(editorWindow));
    QCOMPARE(heard(root()), rootHeard);
    QVERIFY(windowManager(u"-a"_s, filmWindow));
    QTRY_COMPARE(front(), filmWindow);
    QTest::qWait(50);
    QCOMPARE(changed.count(), 4);
    QVERIFY(dnd.isOn());
}

/// Whether a window manager that follows the desktop conventions runs: it names a window
/// of its own on the root window.
bool windowManagerRuns()
{
    xcb_connection_t *c = x11::connection();
    return x11::firstWindow(x11::readList(c, root(), x11::atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW))
           != XCB_WINDOW_NONE;
}

int skip(const char *why)
{
    std::printf("SKIP: %s\n", why);
    return 77;
}

int main(int argc, char *argv[])
{
    // The X server first: the toolkit connects to the display it is given at its start.
    for (const char *tool : {"Xvfb", "openbox", "xterm", "wmctrl"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return skip("Xvfb, openbox, xterm or wmctrl is missing (bash tools/setup.sh test installs them)");
    }
    QProcess server, windowManager;
    server.start(u"Xvfb"_s,
                 {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x800x24"_s, u"-nolisten"_s, u"tcp"_s});
    // (No event loop yet: the blocking calls.)
    while (!server.canReadLine() && server.waitForReadyRead(10000)) { }
    if (!server.canReadLine())
        return skip("Xvfb did not start");
    qputenv("DISPLAY", ':' + server.readLine().trimmed());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int failed = 0;
    {
        QApplication application(argc, argv);
        windowManager.start(u"openbox"_s, {u"--sm-disable"_s});
        if (!QTest::qWaitFor(windowManagerRuns, 10000))
            return skip("openbox did not start");
        TestFullScreen test;
        failed = QTest::qExec(&test, argc, argv);
    }
    for (QProcess *p : {&windowManager, &server}) {
        p->terminate();
        p->waitForFinished();
    }
    return std::min(failed, 127);
}

#include "tst_fullscreen.moc"
