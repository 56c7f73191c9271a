// The reminders layer on its own, without the main window's handlers: the three rows of a
// window built from the main window's definition, driven step by step, and what each row
// announces; the holds and the beeper they silence.
#include "alerts/beeper.h"
#include "alerts/reminderwindow.h"
#include "reminders/reminders.h"
#include "runtime/formbuilder.h"
#include "testmain.h"
#include "testsupport.h"
#include "ui/windowdefs.h"

#include <QMetaEnum>

using namespace testsupport;
using namespace Qt::StringLiterals;
using reminders::Reminders;

namespace {

/// The main window's controls, built from its definition, and nothing of its behaviour.
struct BareForm : QWidget {
    BareForm() { runtime::buildForm(this, ui::Form1()); }
};

/// The three rows over a bare form, with what they announce written down as it comes.
struct Rows {
    Rows()
        : beeper(box(&form, "Text1"), timer(&form, "Timer4"), fake.hooks)
        , rows(&form, beeper, [this](alerts::Slot k) { return new alerts::ReminderWindow(k, &form, beeper, fake.hooks); })
    {
        for (const alerts::Slot k : alerts::kSlots) {
            listen(rows.slot(k));
            // As the main window wires its check boxes: a change of the value is a click.
            reminders::ReminderSlot *slot = &rows.slot(k);
            QObject::connect(slot->check(), &QCheckBox::toggled, slot, &reminders::ReminderSlot::Check_Click);
        }
    }

    void listen(reminders::ReminderSlot &slot)
    {
        using reminders::ReminderSlot;
        QObject::connect(&slot, &ReminderSlot::started, &form,
                         [this](alerts::Slot k, const reminders::Interval &from, reminders::Start how) {
                             events << u"started %1 %2%3"_s.arg(alerts::topicOf(k), text(from),
                                                                how == reminders::Start::Again ? u" again"_s : QString());
                         });
        QObject::connect(&slot, &ReminderSlot::ticked, &form, [this](alerts::Slot k, const reminders::Interval &left) {
            events << u"ticked %1 %2"_s.arg(alerts::topicOf(k), text(left));
        });
        QObject::connect(&slot, &ReminderSlot::stopped, &form, [this](alerts::Slot k, reminders::Stop why) {
            const char *const whys[] = {"at zero", "by the start action", "cleared"};
            events << u"stopped %1 %2"_s.arg(alerts::topicOf(k), QLatin1String(whys[int(why)]));
        });
        QObject::connect(&slot, &ReminderSlot::reminderWaiting, &form,
                         [this](alerts::Slot k) { events << u"waiting %1"_s.arg(alerts::topicOf(k)); });
        QObject::connect(&slot, &ReminderSlot::reminderOpened, &form, [this](alerts::Slot k, const QString &message) {
            events << u"opened %1 message %2"_s.arg(alerts::topicOf(k)).arg(alerts::ReminderWindow::messages(k).indexOf(message));
        });
        QObject::connect(&slot, &ReminderSlot::reminderEnded, &form, [this](alerts::Slot k, reminders::End how) {
            const char *const hows[] = {"acknowledged", "put off", "open at exit"};
            events << u"ended %1 %2"_s.arg(alerts::topicOf(k), QLatin1String(hows[int(how)]));
        });
    }
    static QString text(const reminders::Interval &i) { return i.hours + u'/' + i.minutes + u'/' + i.seconds; }

    reminders::ReminderSlot &row(const QString &k) { return rows.slot(alerts::kSlots.at(size_t(k.toInt()))); }
    static reminders::Interval interval(const QString &hms)
    {
        const QStringList f = hms.split(u'/');
        return {f.value(0), f.value(1), f.value(2)};
    }
    static Reminders::Hold holdNamed(const QString &name)
    {
        return Reminders::Hold(QMetaEnum::fromType<Reminders::Hold>().keyToValue(name.toLatin1().constData()));
    }

    /// Runs one step: "select N H/M/S", "untick N", "start" (the start action on every
    /// row), "tick N" (as its timer would: nothing while the timer is off), "again N H/M/S",
    /// "hold Reason", "release Reason"; a last word "ack" or "putoff" answers the reminder
    /// the step opens (any other reminder that opens is a failure, and acknowledged).
    void step(const QString &line)
    {
        QStringList words = line.split(u' ');
        QString answer;
        if (words.last() == u"ack" || words.last() == u"putoff")
            answer = words.takeLast();
        const QString verb = words.value(0), arg = words.value(1);
        ModalWatch watch([this, answer, arg](QWidget *w) {
            if (answer.isEmpty())
                events << u"unexpected reminder %1"_s.arg(w->objectName());
            if (answer == u"putoff")
                row(arg).putOff();
            else
                button(w, "Command1")->click();
        });
        watch.guarded([&] {
            if (verb == u"select") {
                row(arg).check()->setChecked(true);
                const reminders::Interval i = interval(words.value(2));
                row(arg).hours().setText(i.hours);
                row(arg).minutes().setText(i.minutes);
                row(arg).seconds().setText(i.seconds);
            } else if (verb == u"untick") {
                row(arg).check()->setChecked(false);
            } else if (verb == u"start") {
                for (const alerts::Slot k : alerts::kSlots)
                    rows.slot(k).startOrStop();
            } else if (verb == u"tick") {
                if (row(arg).timer()->isActive())
                    row(arg).Timer_Timer();
            } else if (verb == u"again") {
                row(arg).countDownAgain(interval(words.value(2)));
            } else if (verb == u"hold") {
                rows.hold(holdNamed(arg));
            } else if (verb == u"release") {
                rows.release(holdNamed(arg));
                QCoreApplication::processEvents(); // a reminder that waited opens now
            } else {
                events << u"no such step: "_s + line;
            }
        });
    }

    BareForm form; // before the rest: they look its controls up
    FakeHooks fake;
    alerts::Beeper beeper;
    Reminders rows;
    QStringList events;
};

} // namespace

class TestReminders : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void announces_data();
    void announces();
    void heldRowKeepsItsBoxes();
    void reminderOpenWhenTheProgramEnds();
    void holdsSilenceAnOpenReminder_data();
    void holdsSilenceAnOpenReminder();
};

void TestReminders::announces_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("ticks") << QStringList{u"select 0 0/1/0"_s, u"start"_s, u"tick 0"_s, u"tick 0"_s}
                           << QStringList{u"started 喝水 0/1/0"_s, u"ticked 喝水 0/0/59"_s, u"ticked 喝水 0/0/58"_s};
    QTest::newRow("a reminder acknowledged")
        << QStringList{u"select 1 0/0/1"_s, u"start"_s, u"tick 1"_s, u"tick 1 ack"_s}
        << QStringList{u"started 远眺 0/0/1"_s, u"ticked 远眺 0/0/0"_s, u"stopped 远眺 at zero"_s,
                       u"opened 远眺 message 0"_s, u"ended 远眺 acknowledged"_s};
    QTest::newRow("a reminder put off, then counting again")
        << QStringList{u"select 2 0/0/1"_s, u"start"_s, u"tick 2"_s, u"tick 2 putoff"_s, u"again 2 0/5/0"_s,
                       u"tick 2"_s}
        << QStringList{u"started 厕所 0/0/1"_s, u"ticked 厕所 0/0/0"_s, u"stopped 厕所 at zero"_s,
                       u"opened 厕所 message 0"_s, u"ended 厕所 put off"_s, u"started 厕所 0/5/0 again"_s,
                       u"ticked 厕所 0/4/59"_s};
    QTest::newRow("stopped by a second start action")
        << QStringList{u"select 0 0/0/5"_s, u"start"_s, u"start"_s, u"tick 0"_s}
        << QStringList{u"stopped 喝水 by the start action"_s};
    QTest::newRow("cleared while counting: the reminder comes at the next tick")
        << QStringList{u"select 0 0/0/5"_s, u"start"_s, u"tick 0"_s, u"untick 0"_s, u"tick 0 ack"_s}
        << QStringList{u"started 喝水 0/0/5"_s, u"ticked 喝水 0/0/4"_s, u"stopped 喝水 cleared"_s,
                       u"stopped 喝水 at zero"_s, u"opened 喝水 message 0"_s, u"ended 喝水 acknowledged"_s};
    QTest::newRow("a pause holds the countdown")
        << QStringList{u"select 0 0/0/5"_s, u"start"_s, u"tick 0"_s, u"hold Pause"_s, u"tick 0"_s,
                       u"release Pause"_s, u"tick 0"_s}
        << QStringList{u"started 喝水 0/0/5"_s, u"ticked 喝水 0/0/4"_s, u"ticked 喝水 0/0/3"_s};
    QTest::newRow("two holds: the countdown waits for both")
        << QStringList{u"select 0 0/0/5"_s, u"start"_s, u"tick 0"_s, u"hold Away"_s, u"hold OffHours"_s,
                       u"release Away"_s, u"tick 0"_s, u"release OffHours"_s, u"tick 0"_s}
        << QStringList{u"started 喝水 0/0/5"_s, u"ticked 喝水 0/0/4"_s, u"ticked 喝水 0/0/3"_s};
    QTest::newRow("started during a hold: it counts at the release")
        << QStringList{u"hold OffHours"_s, u"select 0 0/0/5"_s, u"start"_s, u"tick 0"_s, u"release OffHours"_s,
                       u"tick 0"_s}
        << QStringList{u"started 喝水 0/0/5"_s, u"ticked 喝水 0/0/4"_s};
    QTest::newRow("counting again during a hold")
        << QStringList{u"hold Pause"_s, u"again 1 0/0/3"_s, u"tick 1"_s, u"release Pause"_s, u"tick 1"_s}
        << QStringList{u"started 远眺 0/0/3 again"_s, u"ticked 远眺 0/0/2"_s};
    QTest::newRow("presenting: the reminder waits, counting goes on")
        << QStringList{u"select 0 0/0/1"_s, u"select 1 0/0/3"_s, u"start"_s, u"tick 0"_s, u"hold Presenting"_s,
                       u"tick 0"_s, u"tick 1"_s, u"release Presenting ack"_s}
        << QStringList{u"started 喝水 0/0/1"_s, u"ticked 喝水 0/0/0"_s, u"stopped 喝水 at zero"_s,
                       u"waiting 喝水"_s, u"started 远眺 0/0/3"_s, u"ticked 远眺 0/0/2"_s,
                       u"opened 喝水 message 0"_s, u"ended 喝水 acknowledged"_s};
    QTest::newRow("presenting: a waiting reminder cleared goes")
        << QStringList{u"select 0 0/0/0"_s, u"hold Presenting"_s, u"tick 0"_s, u"untick 0"_s, u"release Presenting"_s}
        << QStringList{u"stopped 喝水 at zero"_s, u"waiting 喝水"_s};
}

void TestReminders::announces()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, events);
    Rows r;
    // "tick" only ticks a running timer: a selected row at 0/0/0 is made to run for it.
    for (const QString &line : steps) {
        if (line == u"select 0 0/0/0"_s) {
            r.step(line);
            r.row(u"0"_s).timer()->setEnabled(true);
            continue;
        }
        r.step(line);
    }
    QVERIFY2(r.events == events, qPrintable(r.events.join(u" | ")));
}

void TestReminders::heldRowKeepsItsBoxes()
{
    // A hold keeps the countdown where it stands; it is still counting for the save and the
    // tray, and its boxes stay closed; the release goes on with the same timer.
    Rows r;
    r.step(u"select 0 0/30/0"_s);
    r.step(u"start"_s);
    r.step(u"tick 0"_s);
    reminders::ReminderSlot &water = r.row(u"0"_s);
    r.step(u"hold Pause"_s);
    QVERIFY(!water.timer()->isActive());
    QVERIFY(water.isCounting());
    QVERIFY(r.rows.timesInUse());
    QCOMPARE(Rows::text(water.timeLeft()), u"0/29/59"_s);
    QVERIFY(!water.hours().box()->isEnabled());
    r.step(u"release Pause"_s);
    QVERIFY(water.timer()->isActive());
    QVERIFY(!water.hours().box()->isEnabled());

    // Outside working hours nothing counting is nothing in use; during a pause it is.
    r.step(u"start"_s); // not ready: the start action does not reach a running row
    water.check()->setChecked(false);
    water.timer()->setEnabled(false);
    r.step(u"hold OffHours"_s);
    QVERIFY(!r.rows.timesInUse());
    r.step(u"hold Pause"_s);
    QVERIFY(r.rows.timesInUse());
}

void TestReminders::reminderOpenWhenTheProgramEnds()
{
    Rows r;
    r.row(u"2"_s).check()->setChecked(true); // 0/0/0: the tick opens the reminder
    QTimer::singleShot(0, &r.form, [&r] { r.row(u"2"_s).Timer_Timer(); });
    whenModal([](QWidget *) { QCoreApplication::exit(0); }); // the program ends, the reminder up
    QCoreApplication::exec();
    QCOMPARE(r.events, (QStringList{u"stopped 厕所 at zero"_s, u"opened 厕所 message 0"_s, u"ended 厕所 open at exit"_s}));
    window(&r.form, "Form4")->hide();
}

void TestReminders::holdsSilenceAnOpenReminder_data()
{
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("silent");
    QTest::newRow("away") << u"Away"_s << true;
    QTest::newRow("presenting") << u"Presenting"_s << true;
    QTest::newRow("pause: the open reminder beeps on") << u"Pause"_s << false;
    QTest::newRow("outside working hours: it beeps on") << u"OffHours"_s << false;
}

void TestReminders::holdsSilenceAnOpenReminder()
{
    QFETCH(QString, reason);
    QFETCH(bool, silent);
    Rows r;
    r.beeper.switchOn();
    runtime::Timer *beeper = timer(&r.form, "Timer4");
    r.row(u"0"_s).check()->setChecked(true);
    bool beforeHold = false, duringHold = true, startedDuringHold = true, afterRelease = false;
    whenModal([&](QWidget *w) {
        beforeHold = beeper->isActive();
        r.rows.hold(Rows::holdNamed(reason));
        duringHold = beeper->isActive();
        r.beeper.startUnlessSwitchedOff(); // as a reminder that opens meanwhile would
        startedDuringHold = beeper->isActive();
        r.rows.release(Rows::holdNamed(reason));
        afterRelease = beeper->isActive();
        button(w, "Command1")->click();
    });
    r.row(u"0"_s).Timer_Timer();
    QVERIFY(beforeHold);
    QCOMPARE(duringHold, !silent);
    QCOMPARE(startedDuringHold, !silent);
    QVERIFY(afterRelease);
    QVERIFY(!beeper->isActive());
}

QUORVANE_TEST_CLASS(TestReminders)
#include "tst_reminders.moc"
