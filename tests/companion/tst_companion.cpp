// The additions around the program, driven through their menu on the real main window:
// menu, context menu, pause, automatic repeat, options file, the start-at-login item, tray
// tooltip and the reminder watch behind the notifications.
#include "app/companionwiring.h"
#include "companion/companionmenu.h"
#include "companion/reminderwatch.h"
#include "companion/tray.h"
#include "testmain.h"
#include "testsupport.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimerEvent>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

/// The main window with the additions, over recorded message boxes, scratch settings and
/// options files ("dir" makes the options file a folder) and a clock the test sets.
struct Program : Fixture {
    explicit Program(const QByteArray &options = {})
        : Fixture("0,0,0,0,0,0,0,0,0\r\n", true)
    {
        QDir().mkpath(folder.path() + u"/Quorvane"_s);
        if (options == "dir")
            QDir().mkpath(optionsPath());
        else if (!options.isNull())
            writeFile(optionsPath(), options);
        restart();
    }
    /// The additions as at a new start of the program: they read their files again.
    void restart()
    {
        wiring.reset();
        auto setup = app::CompanionWiring::setupFor(*form, fake.platform);
        setup.clock = [this] {
            return now;
        };
        wiring = std::make_unique<app::CompanionWiring>(*form, std::move(setup));
    }
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QString optionsPath() const { return folder.path() + u"/Quorvane/Quorvane.conf"_s; }
    companion::Companion &add() { return wiring->companion(); }
    companion::CompanionMenu &menu() { return add().menu(); }
    SlotControls slot(int k) { return slotControls(form.get(), k); }

    /// Ticks slot k and types the interval (the start action then starts it).
    void select(int k, const QString &h, const QString &m, const QString &s)
    {
        const SlotControls c = slot(k);
        c.check->setChecked(true);
        c.h->setText(h);
        c.m->setText(m);
        c.s->setText(s);
    }
    /// One tick of slot k as its timer delivers it (event filters included); answer gets
    /// the reminder a tick at 0/0/0 opens.
    void tick(int k, std::function<void(QWidget *)> answer = {})
    {
        if (answer)
            whenModal(std::move(answer));
        QTimerEvent e(slot(k).timer->timerId());
        QCoreApplication::sendEvent(slot(k).timer, &e);
    }

    QDateTime now{QDate(2024, 5, 6), QTime(14, 0, 40)};
    std::unique_ptr<app::CompanionWiring> wiring;
};

void acknowledge(QWidget *reminder)
{
    button(reminder, "Command1")->click();
}

QStringList boxTexts(const SlotControls &c)
{
    return {c.h->text(), c.m->text(), c.s->text()};
}

} // namespace

class TestCompanion : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void menuCaptionsOrderAndStates();
    void contextMenu_data();
    void contextMenu();
    void showWindowAndQuit();
    void pauseHoldsExactlyTheRunningCountdowns_data();
    void pauseHoldsExactlyTheRunningCountdowns();
    void saveRefusedDuringPause();
    void repeatAfterAcknowledgement_data();
    void repeatAfterAcknowledgement();
    void toolTip();
    void iconToolTipOncePerPass();
    void optionsFile_data();
    void optionsFile();
    void autostartMenuItem();
    void reminderWatchSeesMessageAndAcknowledgement();
};

void TestCompanion::menuCaptionsOrderAndStates()
{
    Program p;
    QStringList captions;
    for (const QAction *a : p.menu().actions())
        captions << (a->isSeparator() ? u"-"_s : a->text() + (a->isCheckable() ? u" [ ]"_s : QString()));
    QCOMPARE(captions, QStringList({u"显示主窗口"_s, u"暂停全部提醒 30 分钟"_s, u"暂停全部提醒 1 小时"_s, u"继续计时"_s,
                                    u"-"_s, u"到时后自动重新计时 [ ]"_s, u"登录后自动启动 [ ]"_s, u"-"_s, u"退出"_s}));
    QVERIFY(!p.menu().autoRepeat()->isChecked());
    QVERIFY(!p.menu().autostart()->isChecked());
    QVERIFY(!p.menu().resume()->isEnabled());
    p.menu().pauseHour()->trigger();
    QVERIFY(p.menu().resume()->isEnabled());
    p.menu().resume()->trigger();
    QVERIFY(!p.menu().resume()->isEnabled());

    // The tray icon offers the same menu.
    p.add().tray().show();
    QCOMPARE(p.add().tray().icon()->contextMenu(), &p.menu());
}

void TestCompanion::contextMenu_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("ours");
    QTest::newRow("background picture") << u"Image1"_s << true;
    QTest::newRow("topic label") << u"Label1"_s << true;
    QTest::newRow("start label") << u"Label2"_s << true;
    QTest::newRow("window itself") << u"Form1"_s << true;
    QTest::newRow("time box keeps its edit menu") << u"h"_s << false;
    QTest::newRow("sound switch keeps its edit menu") << u"Text1"_s << false;
}

void TestCompanion::contextMenu()
{
    QFETCH(QString, target);
    QFETCH(bool, ours);
    Program p;
    p.slot(0).check->setChecked(true); // the time box is open for editing
    QWidget *w = target == u"Form1" ? p.form.get() : p.form->findChild<QWidget *>(target);
    QVERIFY(w);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &event);
    QCOMPARE(p.menu().isVisible(), ours);
    QVERIFY(QApplication::activePopupWidget()); // ours, or the box's own edit menu
    QApplication::activePopupWidget()->close();
}

void TestCompanion::showWindowAndQuit()
{
    Program p;
    p.form->showMinimized();
    QVERIFY(p.form->isMinimized());
    p.menu().showWindow()->trigger();
    QVERIFY(!p.form->isMinimized());
    QVERIFY(p.form->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(p.form.get()));

    // As closing the main window: the program ends.
    QTimer::singleShot(0, p.form.get(), [&p] { p.menu().quit()->trigger(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!p.form->isVisible());
}

void TestCompanion::pauseHoldsExactlyTheRunningCountdowns_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("继续计时") << u"resume"_s;
    QTest::newRow("its time has come") << u"time"_s;
    QTest::newRow("start action") << u"start"_s;
}

void TestCompanion::pauseHoldsExactlyTheRunningCountdowns()
{
    QFETCH(QString, end);
    Program p;
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(2, u"2"_s, u"0"_s, u"0"_s);
    p.form->Label2_Click();
    p.tick(0);
    p.tick(2);
    p.select(1, u"1"_s, u"0"_s, u"0"_s); // ticked, not started
    const QStringList water = boxTexts(p.slot(0)), toilet = boxTexts(p.slot(2));

    p.menu().pauseHalfHour()->trigger();
    QVERIFY(p.add().pause().isPaused());
    for (int k = 0; k < 3; ++k)
        QVERIFY2(!p.slot(k).timer->isActive(), qPrintable(QString::number(k)));
    QCOMPARE(boxTexts(p.slot(0)), water);

    if (end == u"resume") {
        p.menu().resume()->trigger();
    } else if (end == u"time") {
        p.now = p.now.addSecs(29 * 60);
        p.add().pause().endIfDue();
        QVERIFY(p.add().pause().isPaused());
        p.now = p.now.addSecs(60);
        p.add().pause().endIfDue();
    } else {
        p.form->Label2_Click(); // the pause ends first; slot 2, ticked and ready, starts
    }
    QVERIFY(!p.add().pause().isPaused());
    QVERIFY(p.slot(0).timer->isActive());
    QVERIFY(p.slot(2).timer->isActive());
    QCOMPARE(p.slot(1).timer->isActive(), end == u"start");
    QCOMPARE(boxTexts(p.slot(0)), water);
    QCOMPARE(boxTexts(p.slot(2)), toilet);
    QVERIFY(p.fake.messages.isEmpty());
}

void TestCompanion::saveRefusedDuringPause()
{
    Program p;
    p.slot(0).check->setChecked(true);
    p.slot(0).s->setText(u"5"_s); // nothing counts: a pause alone refuses the save
    p.menu().pauseHour()->trigger();
    p.form->Command1_Click();
    QCOMPARE(p.fake.texts(), QStringList{u"正在计时中，无法进行保存"_s});
    QCOMPARE(p.fake.messages.first().title, u"出错"_s);
    QCOMPARE(p.folder.read(), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));

    p.menu().resume()->trigger();
    p.form->Command1_Click();
    QCOMPARE(p.fake.messages.size(), 1);
    QCOMPARE(p.folder.read(), QByteArray("0,0,5,0,0,0,0,0,0\r\n"));
}

void TestCompanion::repeatAfterAcknowledgement_data()
{
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("running");
    const QStringList cleared{u"0"_s, u"0"_s, u"0"_s}, interval{u"0"_s, u"0"_s, u"3"_s};
    QTest::newRow("off: cleared") << false << QString() << cleared << false << false;
    QTest::newRow("on: starts again") << true << QString() << interval << true << true;
    QTest::newRow("on: unticked while counting") << true << u"untick"_s << cleared << false << false;
    QTest::newRow("on: paused, waits for the end") << true << u"pause"_s << interval << true << false;
}

void TestCompanion::repeatAfterAcknowledgement()
{
    QFETCH(bool, repeat);
    QFETCH(QString, meanwhile);
    QFETCH(QStringList, boxes);
    QFETCH(bool, ticked);
    QFETCH(bool, running);
    Program p;
    if (repeat)
        p.menu().autoRepeat()->trigger();
    p.select(0, u"0"_s, u"0"_s, u"2"_s);
    p.form->Label2_Click();
    p.slot(0).s->setText(u"3"_s); // still open: the first tick reads 3
    p.tick(0);
    QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, u"0"_s, u"2"_s}));
    p.tick(0);
    if (meanwhile == u"untick")
        p.slot(0).check->setChecked(false); // the boxes read 0/0/0 at once
    else
        p.tick(0);
    p.tick(0, [&p, meanwhile](QWidget *w) { // 0/0/0: the reminder
        if (meanwhile == u"pause")          // as from the tray while it is open
            p.menu().pauseHalfHour()->trigger();
        acknowledge(w);
    });

    QCOMPARE(boxTexts(p.slot(0)), boxes);
    QCOMPARE(p.slot(0).check->isChecked(), ticked);
    QCOMPARE(p.slot(0).timer->isActive(), running);
    if (meanwhile == u"pause") {
        p.menu().resume()->trigger();
        QVERIFY(p.slot(0).timer->isActive());
    }
    if (running) { // as after a start action: the boxes are open until the first tick
        QVERIFY(p.slot(0).h->isEnabled());
        p.tick(0);
        QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, u"0"_s, u"2"_s}));
    }
}

void TestCompanion::toolTip()
{
    Program p;
    companion::Tray &tray = p.add().tray();
    QCOMPARE(tray.toolTip(), u"喝水 未计时\n远眺 未计时\n厕所 未计时"_s);
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(2, u"2"_s, u"0"_s, u"10"_s);
    p.form->Label2_Click();
    p.tick(0);
    p.tick(2);
    QCOMPARE(tray.toolTip(), u"喝水 0:29:59\n远眺 未计时\n厕所 2:00:09"_s);
    p.tick(0);
    QCOMPARE(tray.toolTip(), u"喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
    p.menu().pauseHalfHour()->trigger(); // at 14:00:40
    QCOMPARE(tray.toolTip(), u"已暂停，至 14:30 继续\n喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
    p.menu().resume()->trigger();
    QCOMPARE(tray.toolTip(), u"喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
}

void TestCompanion::iconToolTipOncePerPass()
{
    // The ticks of one second reach the icon as one new tooltip, once the event loop has
    // run: a tray that hears of every change hears of three a second less often. (Only the
    // posted events are delivered here: the slots' own timers do not tick in this test.)
    Program p;
    companion::Tray &tray = p.add().tray();
    tray.show();
    QCOMPARE(tray.icon()->toolTip(), u"喝水 未计时\n远眺 未计时\n厕所 未计时"_s);
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(2, u"2"_s, u"0"_s, u"10"_s);
    p.form->Label2_Click();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(tray.icon()->toolTip(), u"喝水 0:30:00\n远眺 未计时\n厕所 2:00:10"_s);
    p.tick(0);
    p.tick(2);
    QCOMPARE(tray.icon()->toolTip(), u"喝水 0:30:00\n远眺 未计时\n厕所 2:00:10"_s);
    QCOMPARE(tray.toolTip(), u"喝水 0:29:59\n远眺 未计时\n厕所 2:00:09"_s);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(tray.icon()->toolTip(), u"喝水 0:29:59\n远眺 未计时\n厕所 2:00:09"_s);
}

void TestCompanion::optionsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<bool>("damaged");
    QTest::newRow("missing") << QByteArray() << false << false;
    QTest::newRow("on") << QByteArray("[Reminders]\nAutoRepeat=true\n") << true << false;
    QTest::newRow("off") << QByteArray("[Reminders]\nAutoRepeat=false\n") << false << false;
    QTest::newRow("not a choice") << QByteArray("[Reminders]\nAutoRepeat=banana\n") << false << true;
    QTest::newRow("broken section") << QByteArray("[Reminders\nAutoRepeat=true\n") << false << true;
    QTest::newRow("binary junk") << QByteArray("\xff\xfe\x00\x01junk", 8) << false << true;
    QTest::newRow("a folder") << QByteArray("dir") << false << true;
}

void TestCompanion::optionsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, repeat);
    QFETCH(bool, damaged);
    Program p(content);
    QCOMPARE(p.menu().autoRepeat()->isChecked(), repeat);
    const QStringList seen = p.fake.texts();
    if (damaged) {
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.first().startsWith(u"选项文件已损坏"_s), qPrintable(seen.first()));
        QCOMPARE(p.fake.messages.first().title, u"出错"_s);
    } else {
        QVERIFY(seen.isEmpty());
    }
    p.fake.messages.clear();
    p.restart();
    QCOMPARE(p.menu().autoRepeat()->isChecked(), repeat);
    QCOMPARE(p.fake.messages.size(), content == "dir" ? 1 : 0); // said once, unless it cannot be replaced

    // The choice survives a restart, in the options file, never in the settings file.
    p.fake.messages.clear();
    p.menu().autoRepeat()->trigger();
    QCOMPARE(p.folder.read(), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));
    if (content == "dir") {
        QVERIFY(p.fake.texts().value(0).startsWith(u"无法保存选项"_s));
        return;
    }
    p.restart();
    QCOMPARE(p.menu().autoRepeat()->isChecked(), !repeat);
    QVERIFY(p.fake.messages.isEmpty());
}

void TestCompanion::autostartMenuItem()
{
    // The item makes and removes the desktop's entry for the running program; its mark
    // shows what is there, also when the entry was added or removed behind its back.
    Program p;
    const platform::Autostart &entry = p.add().autostart();
    QVERIFY(!entry.isEnabled());
    QVERIFY(!p.menu().autostart()->isChecked());
    p.menu().autostart()->trigger();
    QVERIFY(entry.isEnabled());
    QVERIFY(p.menu().autostart()->isChecked());
    p.menu().autostart()->trigger();
    QVERIFY(!entry.isEnabled());
    QVERIFY(!p.menu().autostart()->isChecked());
    QVERIFY(platform::Autostart(QCoreApplication::applicationFilePath(), entry.path()).enable());
    Q_EMIT p.menu().aboutToShow();
    QVERIFY(p.menu().autostart()->isChecked());
    QVERIFY(entry.disable());
}
void TestCompanion::reminderWatchSeesMessageAndAcknowledgement()
{
    Program p;
    companion::ReminderWatch watch;
    QSignalSpy shown(&watch, &companion::ReminderWatch::shown);
    QSignalSpy hidden(&watch, &companion::ReminderWatch::hidden);
    p.slot(1).check->setChecked(true);
    QString message;
    whenModal([&message](QWidget *w) {
        QApplication::processEvents(); // the window settles
        message = label(w, "Label2")->text();
        acknowledge(w);
    });
    p.form->Timer2_Timer(); // 0/0/0: the eye-rest reminder opens
    QCOMPARE(shown.size(), 1);
    QCOMPARE(qvariant_cast<alerts::Slot>(shown.first().at(0)), alerts::Slot::EyeRest);
    QCOMPARE(shown.first().at(1).toString(), message);
    QCOMPARE(hidden.size(), 1);
    QCOMPARE(qvariant_cast<alerts::Slot>(hidden.first().at(0)), alerts::Slot::EyeRest);
}

QUORVANE_TEST_CLASS(TestCompanion)
#include "tst_companion.moc"
