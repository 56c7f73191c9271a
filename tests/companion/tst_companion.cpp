// The additions around the program, driven through their menu on the real main window:
// menu, context menu, pause, automatic repeat, options file, the start-at-login item, tray
// tooltip, putting off, the hold while away and the record.
#include "companion/companionprogram.h"
#include "companion/historychart.h"
#include "companion/historywindow.h"
#include "platform/autostart.h"
#include "testmain.h"
#include "testsupport.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTimerEvent>

using namespace testsupport;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

/// Chooses an item of a reminder window's own menu, opened by a right click on its message.
void putOffFromMenu(QWidget *reminder, int minutes)
{
    QWidget *message = label(reminder, reminder->objectName() == u"Form2" ? "Label1" : "Label2");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3), message->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(message, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu) {
        reminder->hide(); // fails the test, not hangs it
        return;
    }
    for (QAction *a : menu->actions()) {
        if (a->text() == u"%1 分钟后再提醒"_s.arg(minutes))
            menu->setActiveAction(a);
    }
    QTest::keyClick(menu, Qt::Key_Return);
}

/// The acknowledged reminders of one day in the record at path, per slot.
std::array<int, 3> acknowledgedOn(const QString &path, const QDate &day)
{
    std::array<int, 3> counts{};
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(u"SELECT slot FROM reminders WHERE how = 'acknowledged' AND substr(opened, 1, 10) = ?"_s);
            q.addBindValue(day.toString(Qt::ISODate));
            q.exec();
            while (q.next())
                ++counts.at(size_t(q.value(0).toInt()));
        }
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return counts;
}

QStringList hows(const QString &path)
{
    return recordRows(path, u"SELECT how FROM reminders ORDER BY id"_s);
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
    void putOff_data();
    void putOff();
    void putOffInnermostOfNested();
    void awayHoldByIdleTime_data();
    void awayHoldByIdleTime();
    void awayHoldSilencesOpenReminderAndKeepsUserPause();
    void recordCountsAndChart();
    void damagedRecordKeptAsideAndStartedAfresh();
    void recordOpenedWhenFirstUsed();
};

void TestCompanion::menuCaptionsOrderAndStates()
{
    Program p;
    QStringList captions;
    for (const QAction *a : p.menu().actions())
        captions << (a->isSeparator() ? u"-"_s : a->text() + (a->isCheckable() ? u" [ ]"_s : QString()));
    QCOMPARE(captions, QStringList({u"显示主窗口"_s, u"提醒记录"_s, u"-"_s, u"暂停全部提醒 30 分钟"_s,
                                    u"暂停全部提醒 1 小时"_s, u"继续计时"_s, u"-"_s, u"到时后自动重新计时 [ ]"_s,
                                    u"离开电脑时暂停计时 [ ]"_s, u"登录后自动启动 [ ]"_s, u"-"_s, u"选项…"_s,
                                    u"退出"_s}));
    QVERIFY(!p.menu().autoRepeat()->isChecked());
    QVERIFY(!p.menu().awayHold()->isChecked());
    QVERIFY(!p.menu().autostart()->isChecked());
    QVERIFY(!p.menu().resume()->isEnabled());
    p.menu().pauseHour()->trigger();
    QVERIFY(p.menu().resume()->isEnabled());
    p.menu().resume()->trigger();
    QVERIFY(!p.menu().resume()->isEnabled());

    // The tray icon offers the same menu.
    QVERIFY(p.trayIcon());
    QCOMPARE(p.trayIcon()->contextMenu(), &p.menu());
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
    QVERIFY(QTest::qWaitForWindowActive(p.form.get(), 15000));

    // As closing the main window: the program ends.
    QTimer::singleShot(0, p.form.get(), [&p] { p.menu().quit()->trigger(); });
    QTimer stillRunning; // ends the loop should the quit not have; gone with this case
    stillRunning.setSingleShot(true);
    QObject::connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    stillRunning.start(5000);
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
    QVERIFY(p.paused());
    for (int k = 0; k < 3; ++k)
        QVERIFY2(!p.slot(k).timer->isActive(), qPrintable(QString::number(k)));
    QCOMPARE(boxTexts(p.slot(0)), water);

    if (end == u"resume") {
        p.menu().resume()->trigger();
    } else if (end == u"time") {
        p.now = p.now.addSecs(29 * 60);
        p.fire("pauseEnd"); // early: the clock was set back meanwhile
        QVERIFY(p.paused());
        p.now = p.now.addSecs(60);
        p.fire("pauseEnd");
    } else {
        p.form->Label2_Click(); // the pause ends first; slot 2, ticked and ready, starts
    }
    QVERIFY(!p.paused());
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
    QCOMPARE(p.toolTip(), u"喝水 未计时\n远眺 未计时\n厕所 未计时"_s);
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(2, u"2"_s, u"0"_s, u"10"_s);
    p.form->Label2_Click();
    p.tick(0);
    p.tick(2);
    QCOMPARE(p.toolTip(), u"喝水 0:29:59\n远眺 未计时\n厕所 2:00:09"_s);
    p.tick(0);
    QCOMPARE(p.toolTip(), u"喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
    p.menu().pauseHalfHour()->trigger(); // at 14:00:40
    QCOMPARE(p.toolTip(), u"已暂停，至 14:30 继续\n喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
    p.menu().resume()->trigger();
    QCOMPARE(p.toolTip(), u"喝水 0:29:58\n远眺 未计时\n厕所 2:00:09"_s);
}

void TestCompanion::iconToolTipOncePerPass()
{
    // The ticks of one second reach the icon as one new tooltip, once the event loop has
    // run: a tray that hears of every change hears of three a second less often. (Only the
    // posted events are delivered here: the slots' own timers do not tick in this test.)
    Program p;
    QSystemTrayIcon *icon = p.trayIcon();
    QVERIFY(icon);
    QCOMPARE(icon->toolTip(), u"喝水 未计时\n远眺 未计时\n厕所 未计时"_s);
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.select(2, u"2"_s, u"0"_s, u"10"_s);
    p.form->Label2_Click();
    QCoreApplication::sendPostedEvents();
    QCOMPARE(icon->toolTip(), u"喝水 0:30:00\n远眺 未计时\n厕所 2:00:10"_s);
    p.tick(0);
    p.tick(2);
    QCOMPARE(icon->toolTip(), u"喝水 0:30:00\n远眺 未计时\n厕所 2:00:10"_s);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(icon->toolTip(), u"喝水 0:29:59\n远眺 未计时\n厕所 2:00:09"_s);
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
    const platform::Autostart entry(QCoreApplication::applicationFilePath(), platform::Autostart::defaultPath());
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
void TestCompanion::putOff_data()
{
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("repeat");
    QTest::newRow("5 minutes, no repeat") << 5 << false;
    QTest::newRow("10 minutes, repeat: its own interval again") << 10 << true;
}

void TestCompanion::putOff()
{
    QFETCH(int, minutes);
    QFETCH(bool, repeat);
    Program p;
    if (repeat)
        p.menu().autoRepeat()->trigger();
    runtime::Timer *beeper = timer(p.form.get(), "Timer4");
    p.form->Command2_Click(); // the sound on
    p.select(0, u"0"_s, u"0"_s, u"1"_s);
    p.form->Label2_Click();
    p.tick(0);
    bool beeping = false;
    p.tick(0, [&](QWidget *w) {
        beeping = beeper->isActive();
        putOffFromMenu(w, minutes);
    });
    QVERIFY(beeping);
    QVERIFY(!beeper->isActive());
    QVERIFY(!window(p.form.get(), "Form2")->isVisible());
    QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, QString::number(minutes), u"0"_s}));
    QVERIFY(p.slot(0).check->isChecked());
    QVERIFY(p.slot(0).timer->isActive());

    // It counts like any countdown: saving is refused, the saved times stay.
    p.form->Command1_Click();
    QCOMPARE(p.fake.texts(), QStringList{u"正在计时中，无法进行保存"_s});
    QCOMPARE(p.folder.read(), QByteArray("0,0,0,0,0,0,0,0,0\r\n"));
    p.tick(0);
    QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, QString::number(minutes - 1), u"59"_s}));
    for (int k = 1; k < minutes * 60; ++k)
        p.tick(0);
    QCOMPARE(boxTexts(p.slot(0)), QStringList({u"0"_s, u"0"_s, u"0"_s}));
    QString again;
    p.tick(0, [&again](QWidget *w) {
        again = w->objectName();
        acknowledge(w);
    });
    QCOMPARE(again, u"Form2"_s);
    QCOMPARE(boxTexts(p.slot(0)), repeat ? QStringList({u"0"_s, u"0"_s, u"1"_s}) : QStringList({u"0"_s, u"0"_s, u"0"_s}));
    QCOMPARE(p.slot(0).check->isChecked(), repeat);
    QCOMPARE(p.slot(0).timer->isActive(), repeat);
}

void TestCompanion::putOffInnermostOfNested()
{
    Program p;
    p.slot(0).check->setChecked(true);
    p.slot(1).check->setChecked(true); // both 0/0/0: each tick opens its reminder
    QString beneath;
    bool stillBeeping = false;
    p.tick(0, [&](QWidget *water) {
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&poll] {
            QWidget *w = QApplication::activeModalWidget();
            if (w && w->objectName() == u"Form3") {
                poll.stop();
                putOffFromMenu(w, 5);
            }
        });
        poll.start(10);
        p.tick(1); // returns once the eye-rest reminder is put off
        beneath = QApplication::activeModalWidget()->objectName();
        stillBeeping = water->isVisible();
        acknowledge(water);
    });
    QCOMPARE(beneath, u"Form2"_s);
    QVERIFY(stillBeeping);
    QCOMPARE(boxTexts(p.slot(1)), QStringList({u"0"_s, u"5"_s, u"0"_s}));
    QVERIFY(p.slot(1).timer->isActive());
    QVERIFY(!p.slot(0).check->isChecked());
}

void TestCompanion::awayHoldByIdleTime_data()
{
    QTest::addColumn<QByteArray>("minutes");
    QTest::addColumn<int>("after");
    QTest::newRow("not given") << QByteArray() << 5;
    QTest::newRow("10") << QByteArray("10") << 10;
    QTest::newRow("240") << QByteArray("240") << 240;
    QTest::newRow("0 is out of range") << QByteArray("0") << 5;
    QTest::newRow("241 is out of range") << QByteArray("241") << 5;
    QTest::newRow("not a number") << QByteArray("soon") << 5;
}

void TestCompanion::awayHoldByIdleTime()
{
    QFETCH(QByteArray, minutes);
    QFETCH(int, after);
    Program p(minutes.isEmpty() ? QByteArray() : "[Reminders]\nAwayAfterMinutes=" + minutes + "\n");
    QVERIFY(!p.menu().awayHold()->isChecked());
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.form->Label2_Click();
    p.tick(0);
    const QStringList left = boxTexts(p.slot(0));
    p.idle = std::chrono::minutes(after); // away, but the choice is off
    p.fire("awayPoll");
    QVERIFY(p.slot(0).timer->isActive());

    p.idle = std::chrono::minutes(after) - 1s;
    p.menu().awayHold()->trigger();
    QVERIFY(p.slot(0).timer->isActive());
    p.idle = std::chrono::minutes(after);
    p.fire("awayPoll");
    QVERIFY(!p.slot(0).timer->isActive());
    QVERIFY2(p.toolTip().startsWith(u"已暂停（离开电脑）\n喝水 0:29:59"_s), qPrintable(p.toolTip()));
    p.form->Command1_Click();
    QCOMPARE(p.fake.texts(), QStringList{u"正在计时中，无法进行保存"_s});
    p.idle = 200ms; // input again
    p.fire("awayPoll");
    QVERIFY(p.slot(0).timer->isActive());
    QCOMPARE(boxTexts(p.slot(0)), left);
    QVERIFY(!p.toolTip().contains(u"离开电脑"_s));

    // The choice is kept; the minutes are written back as the user put them.
    p.restart();
    QVERIFY(p.menu().awayHold()->isChecked());
    const QSettings file(p.optionsPath(), QSettings::IniFormat);
    QCOMPARE(file.value(u"Reminders/AwayAfterMinutes"_s).toByteArray(), minutes.isEmpty() ? QByteArray() : minutes);
}

void TestCompanion::awayHoldSilencesOpenReminderAndKeepsUserPause()
{
    Program p("[Reminders]\nAwayHold=true\n");
    runtime::Timer *beeper = timer(p.form.get(), "Timer4");
    p.form->Command2_Click(); // the sound on
    p.select(1, u"1"_s, u"0"_s, u"0"_s);
    p.form->Label2_Click();
    p.tick(1);
    p.slot(0).check->setChecked(true);
    bool silentAway = false, beepsBack = false, eyesHeld = false;
    p.tick(0, [&](QWidget *w) {
        p.idle = 5min;
        p.fire("awayPoll");
        silentAway = !beeper->isActive();
        eyesHeld = !p.slot(1).timer->isActive();
        p.idle = 0ms;
        p.fire("awayPoll");
        beepsBack = beeper->isActive();
        acknowledge(w);
    });
    QVERIFY(silentAway);
    QVERIFY(eyesHeld);
    QVERIFY(beepsBack);
    QVERIFY(p.slot(1).timer->isActive());

    // Coming back does not end a pause the user chose, nor does its end the hold.
    p.menu().pauseHour()->trigger();
    p.idle = 5min;
    p.fire("awayPoll");
    p.idle = 0ms;
    p.fire("awayPoll");
    QVERIFY(p.paused());
    QVERIFY(!p.slot(1).timer->isActive());
    p.idle = 5min;
    p.fire("awayPoll");
    p.menu().resume()->trigger();
    QVERIFY(!p.slot(1).timer->isActive());
    p.idle = 0ms;
    p.fire("awayPoll");
    QVERIFY(p.slot(1).timer->isActive());
}

void TestCompanion::recordCountsAndChart()
{
    Program p;
    const QDateTime today = p.now;
    for (int k = 0; k < 3; ++k)
        p.slot(k).check->setChecked(true); // 0/0/0: each tick opens the slot's reminder
    p.now = today.addDays(-1);
    p.tick(2, acknowledge);
    p.slot(2).check->setChecked(true);
    p.now = today;
    p.tick(0, acknowledge);
    p.slot(0).check->setChecked(true);
    p.tick(0, acknowledge);
    p.tick(1, [](QWidget *w) { putOffFromMenu(w, 10); });
    p.tick(2, [&p](QWidget *w) {
        p.wiring.reset(); // the program ends with the reminder open
        acknowledge(w);
    });
    QCOMPARE(hows(p.historyPath()),
             QStringList({u"acknowledged"_s, u"acknowledged"_s, u"acknowledged"_s, u"put off"_s, u"open at exit"_s}));

    p.restart();
    p.menu().records()->trigger();
    auto *window = p.form->findChild<companion::HistoryWindow *>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), u"提醒记录"_s);
    QStringList texts;
    for (const QLabel *l : window->findChildren<QLabel *>())
        texts << l->text();
    for (const QString &count : {u"喝水 2 次"_s, u"远眺 0 次"_s, u"厕所 0 次"_s})
        QVERIFY2(texts.contains(count), qPrintable(texts.join(u'|')));
    QCOMPARE(acknowledgedOn(p.historyPath(), today.date().addDays(-1)), (std::array<int, 3>{0, 0, 1}));
    QCOMPARE(acknowledgedOn(p.historyPath(), today.date()), (std::array<int, 3>{2, 0, 0}));
    // Drawn: the water bar in the water reminder's colour; no eye-rest bar at all.
    const QImage chart = window->findChild<companion::HistoryChart *>()->grab().toImage();
    int water = 0, eyes = 0;
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x) {
            const QRgb c = chart.pixel(x, y);
            water += c == qRgb(192, 255, 255);
            eyes += c == qRgb(192, 255, 192);
        }
    QVERIFY2(water > 100, qPrintable(QString::number(water)));
    QCOMPARE(eyes, 0);

    // A year is kept (looked at the next time the record is opened).
    p.now = today.addYears(1).addDays(1);
    p.restart();
    p.menu().records()->trigger();
    QCOMPARE(hows(p.historyPath()).size(), 0);
}

void TestCompanion::damagedRecordKeptAsideAndStartedAfresh()
{
    Program p;
    p.wiring.reset();
    Program::writeFile(p.historyPath(), "not a database, but some bytes of a user's file");
    p.restart();
    QVERIFY(p.fake.messages.isEmpty()); // the record is opened when it is first used
    QVERIFY(QFile::exists(p.historyPath()));
    p.menu().records()->trigger();
    QTRY_COMPARE(p.fake.messages.size(), 1);
    QCOMPARE(p.fake.messages.first().title, u"出错"_s);
    QVERIFY2(p.fake.texts().first().startsWith(u"提醒记录文件已损坏"_s), qPrintable(p.fake.texts().first()));
    QFile kept(p.historyPath() + u".damaged-20240506-140040"_s);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("not a database, but some bytes of a user's file"));

    p.slot(0).check->setChecked(true);
    p.tick(0, acknowledge); // the reminder itself never depended on the record
    QVERIFY(!p.slot(0).check->isChecked());
    QCOMPARE(hows(p.historyPath()), QStringList{u"acknowledged"_s});
    p.restart();
    p.menu().records()->trigger();
    QCoreApplication::processEvents();
    QCOMPARE(p.fake.messages.size(), 1); // the fresh one reads
}

void TestCompanion::recordOpenedWhenFirstUsed()
{
    // Until a reminder opens or the record window is shown, the program does not open the
    // record: a damaged file is told about then, once that reminder is up.
    Program p;
    p.wiring.reset();
    Program::writeFile(p.historyPath(), "not a database");
    p.restart();
    QCoreApplication::processEvents();
    QVERIFY(p.fake.messages.isEmpty());
    {
        QFile untouched(p.historyPath());
        QVERIFY(untouched.open(QIODevice::ReadOnly));
        QCOMPARE(untouched.readAll(), QByteArray("not a database"));
    } // closed again: Windows would not let the program set a file that is open aside
    p.slot(0).check->setChecked(true);
    p.tick(0, acknowledge);
    QTRY_COMPARE(p.fake.messages.size(), 1);
    QVERIFY2(p.fake.texts().first().startsWith(u"提醒记录文件已损坏"_s), qPrintable(p.fake.texts().first()));
    QCOMPARE(hows(p.historyPath()), QStringList{u"acknowledged"_s});
}

QUORVANE_TEST_CLASS(TestCompanion)
#include "tst_companion.moc"
