// The reminder cycle on the main window: the check boxes, the start label, the
// once-a-second countdown of each slot and its alert, alone and with several slots
// alerting at once. Ticks are driven by calling the tick handlers directly.
#include "app/mainform.h"
#include "settings/savedintervals.h"
#include "testmain.h"
#include "testsupport.h"

#include <memory>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

struct SlotNames {
    const char *check, *h, *m, *s, *timer, *window;
};
const SlotNames kSlots[3] = {{"Check1", "h", "m", "s", "Timer1", "Form2"},
                             {"Check2", "h2", "m2", "s2", "Timer2", "Form3"},
                             {"Check3", "h3", "m3", "s3", "Timer3", "Form4"}};

const QString kNothingTicked = u"您尚未选择一栏进行计时！"_s;

/// The main window, shown, over recorded message boxes and a settings file of nine zeros.
struct Program : testsupport::Fixture {
    Program()
        : testsupport::Fixture("0,0,0,0,0,0,0,0,0\r\n", true)
    { }

    QCheckBox *checkOf(int k) const { return check(form.get(), kSlots[k].check); }
    runtime::Timer *timerOf(int k) const { return timer(form.get(), kSlots[k].timer); }
    QList<runtime::TextBox *> boxesOf(int k) const
    {
        return {box(form.get(), kSlots[k].h), box(form.get(), kSlots[k].m), box(form.get(), kSlots[k].s)};
    }
    /// The slot's three texts as "h/m/s".
    QString times(int k) const
    {
        QStringList t;
        for (runtime::TextBox *b : boxesOf(k))
            t << b->text();
        return t.join(u'/');
    }
    void setTimes(int k, const QString &hms) const
    {
        const QStringList t = hms.split(u'/');
        const QList<runtime::TextBox *> boxes = boxesOf(k);
        for (int i = 0; i < 3; ++i)
            boxes[i]->setText(t.at(i));
    }
    int enabledBoxes(int k) const
    {
        int n = 0;
        for (runtime::TextBox *b : boxesOf(k))
            n += b->isEnabled();
        return n;
    }
    /// One character per slot, "1" when its check box is ticked.
    QString ticked() const
    {
        QString r;
        for (int k = 0; k < 3; ++k)
            r += checkOf(k)->isChecked() ? u'1' : u'0';
        return r;
    }
    /// One character per slot, "1" when its timer is running.
    QString running() const
    {
        QString r;
        for (int k = 0; k < 3; ++k)
            r += timerOf(k)->Enabled() ? u'1' : u'0';
        return r;
    }
    void tick(int k) const { tickSlot(*form, k); }
    /// A real mouse click on the start label.
    void start() const { QTest::mouseClick(label(form.get(), "Label2"), Qt::LeftButton); }
};

/// Clicks "我已知晓" on a reminder window.
void acknowledge(QWidget *window)
{
    button(window, "Command1")->click();
}

} // namespace

class TestCountdown : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void checkBoxReaction_data();
    void checkBoxReaction();

    void startAction_data();
    void startAction();
    void nothingTickedShowsProgramTitle();
    void startAfterFirstTick();
    void focusedBoxCountsAsTyped();

    void countdownEndsInAlert_data();
    void countdownEndsInAlert();
    void borrow_data();
    void borrow();
    void untickingCountingSlotAlertsAtNextTick();
    void alertsStackAndUnwindInOrder();
};

void TestCountdown::checkBoxReaction_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("how");
    for (int k = 0; k < 3; ++k) {
        for (const char *how : {"program", "mouse", "space"})
            QTest::addRow("%s by %s", kSlots[k].check, how) << k << QString::fromLatin1(how);
    }
}

void TestCountdown::checkBoxReaction()
{
    QFETCH(int, slot);
    QFETCH(QString, how);
    Program p;
    const int other = (slot + 1) % 3; // ticked, editable
    const int idle = (slot + 2) % 3;  // not ticked
    p.checkOf(other)->setChecked(true);
    for (int k = 0; k < 3; ++k)
        p.setTimes(k, u"4/5/6"_s);

    QCheckBox *c = p.checkOf(slot);
    auto toggle = [&] {
        if (how == u"program")
            c->setChecked(!c->isChecked());
        else if (how == u"mouse")
            QTest::mouseClick(c, Qt::LeftButton);
        else
            QTest::keyClick(c, Qt::Key_Space);
    };

    toggle();
    QVERIFY(c->isChecked());
    QCOMPARE(p.enabledBoxes(slot), 3);
    QCOMPARE(p.times(slot), u"4/5/6"_s);

    toggle();
    QVERIFY(!c->isChecked());
    QCOMPARE(p.enabledBoxes(slot), 0);
    QCOMPARE(p.times(slot), u"0/0/0"_s);

    QCOMPARE(p.times(other), u"4/5/6"_s);
    QCOMPARE(p.enabledBoxes(other), 3);
    QCOMPARE(p.times(idle), u"4/5/6"_s);
    QCOMPARE(p.enabledBoxes(idle), 0);
    QCOMPARE(p.running(), u"000"_s);
}

void TestCountdown::startAction_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("running");

    const QStringList ready{u"0/0/5"_s, u"0/0/7"_s, u"0/1/0"_s};
    const QStringList zero{u"0/0/0"_s, u"0/0/0"_s, u"0/0/0"_s};
    auto one = [](const QString &first) {
        return QStringList{first, u"0/0/0"_s, u"0/0/0"_s};
    };

    QTest::newRow("nothing ticked") << "000" << ready << 1 << ready << "000";
    QTest::newRow("ticked at zero") << "100" << zero << 1 << zero << "000";
    QTest::newRow("00 and 000 are zero") << "100" << one(u"0/00/000"_s) << 1 << one(u"0/00/000"_s) << "000";
    QTest::newRow("slots 1 and 3 ready, 2 not ticked") << "101" << ready << 1 << ready << "101";
    QTest::newRow("zero slot beside ready ones") << "111" << QStringList{u"0/0/5"_s, u"0/0/0"_s, u"0/1/0"_s} << 1
                                                 << QStringList{u"0/0/5"_s, u"0/0/0"_s, u"0/1/0"_s} << "101";
    QTest::newRow("second click stops") << "111" << ready << 2 << ready << "000";
    QTest::newRow("third click runs again") << "111" << ready << 3 << ready << "111";
    QTest::newRow("above range counts as it is") << "100" << one(u"75/75/75"_s) << 1 << one(u"75/75/75"_s) << "100";
    QTest::newRow("emptied box reads 0") << "100" << one(u"0//5"_s) << 1 << one(u"0/0/5"_s) << "100";
    QTest::newRow("all emptied") << "100" << one(u"//"_s) << 1 << one(u"0/0/0"_s) << "000";
    QTest::newRow("fraction") << "100" << one(u"0/0/1.5"_s) << 1 << one(u"0/0/1"_s) << "100";
    QTest::newRow("fraction below one") << "100" << one(u"0/0.5/0"_s) << 1 << one(u"0/0/0"_s) << "000";
    QTest::newRow("negative") << "100" << one(u"-2/0/0"_s) << 1 << one(u"0/0/0"_s) << "000";
    QTest::newRow("junk") << "100" << one(u"x/abc/9x"_s) << 1 << one(u"0/0/9"_s) << "100";
}

void TestCountdown::startAction()
{
    QFETCH(QString, ticked);
    QFETCH(QStringList, before);
    QFETCH(int, clicks);
    QFETCH(QStringList, after);
    QFETCH(QString, running);
    Program p;
    for (int k = 0; k < 3; ++k) {
        p.checkOf(k)->setChecked(ticked.at(k) == u'1');
        p.setTimes(k, before.at(k));
    }
    for (int i = 0; i < clicks; ++i)
        p.start();

    QCOMPARE(p.running(), running);
    for (int k = 0; k < 3; ++k)
        QCOMPARE(p.times(k), after.at(k));
    QCOMPARE(p.ticked(), ticked);
    if (ticked == u"000") {
        QCOMPARE(p.fake.texts(), QStringList(kNothingTicked));
        QCOMPARE(p.fake.messages.first().title, QString());
        QCOMPARE(p.fake.messages.first().icon, QMessageBox::NoIcon);
    } else {
        QCOMPARE(p.fake.texts(), QStringList());
    }
}

void TestCountdown::nothingTickedShowsProgramTitle()
{
    Program p;
    p.fake.hooks.message = app::desktopHooks().message; // a real message box
    SeenBox seen;
    answerMessageBox(&seen);
    p.start();
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, kNothingTicked);
    QCOMPARE(seen.title, u"Quorvane"_s);
    QCOMPARE(seen.icon, QMessageBox::NoIcon);
}

void TestCountdown::startAfterFirstTick()
{
    // Once a slot has ticked, its boxes are closed and the start label no longer reaches
    // it; slots still waiting for their first tick go on toggling.
    Program p;
    for (int k : {0, 1}) {
        p.checkOf(k)->setChecked(true);
        p.setTimes(k, u"0/0/5"_s);
    }
    p.start();
    QCOMPARE(p.running(), u"110"_s);
    p.tick(0);
    QCOMPARE(p.enabledBoxes(0), 0);
    p.start();
    QCOMPARE(p.running(), u"100"_s);
    p.start();
    QCOMPARE(p.running(), u"110"_s);
    QCOMPARE(p.times(0), u"0/0/4"_s);
    QCOMPARE(p.times(1), u"0/0/5"_s);
}

void TestCountdown::focusedBoxCountsAsTyped()
{
    Program p;
    p.checkOf(0)->setChecked(true);
    p.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(p.form.get()));
    runtime::TextBox *m = box(p.form.get(), "m");
    m->setFocus();
    m->selectAll();
    QTest::keyClicks(m, "75");
    p.start();
    QVERIFY(m->hasFocus());
    QCOMPARE(p.times(0), u"0/75/0"_s);
    QCOMPARE(p.running(), u"100"_s);
    // The first tick takes the box out of the user's reach; that is no leaving of the box,
    // so the typed 75 is counted as it stands.
    p.form->Timer1_Timer();
    QCOMPARE(p.times(0), u"0/74/59"_s);
}

void TestCountdown::countdownEndsInAlert_data()
{
    QTest::addColumn<int>("slot");
    for (int k = 0; k < 3; ++k)
        QTest::newRow(kSlots[k].window) << k;
}

void TestCountdown::countdownEndsInAlert()
{
    QFETCH(int, slot);
    Program p;
    p.checkOf(slot)->setChecked(true);
    p.setTimes(slot, u"0/0/3"_s);
    p.start();
    QVERIFY(p.timerOf(slot)->Enabled());

    for (const QString &shown : {u"0/0/2"_s, u"0/0/1"_s, u"0/0/0"_s}) {
        p.tick(slot);
        QCOMPARE(p.times(slot), shown);
        QCOMPARE(p.enabledBoxes(slot), 0);
        QVERIFY(p.timerOf(slot)->Enabled());
        QVERIFY(p.checkOf(slot)->isChecked());
        QVERIFY(!QApplication::activeModalWidget());
    }

    struct {
        QString window, times;
        bool timerOn = true, ticked = false;
    } during;
    whenModal([&](QWidget *w) {
        during.window = w->objectName();
        during.timerOn = p.timerOf(slot)->Enabled();
        during.ticked = p.checkOf(slot)->isChecked();
        during.times = p.times(slot);
        acknowledge(w);
    });
    p.tick(slot); // the fourth tick alerts and returns only once the window is dismissed

    QCOMPARE(during.window, QString::fromLatin1(kSlots[slot].window));
    QVERIFY(!during.timerOn);
    QVERIFY(during.ticked);
    QCOMPARE(during.times, u"0/0/0"_s);
    QVERIFY(!p.checkOf(slot)->isChecked());
    QCOMPARE(p.times(slot), u"0/0/0"_s);
    QCOMPARE(p.enabledBoxes(slot), 0);
    QCOMPARE(p.running(), u"000"_s);
}

void TestCountdown::borrow_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("seconds") << "0/0/3"
                             << "0/0/2";
    QTest::newRow("last second") << "0/0/1"
                                 << "0/0/0";
    QTest::newRow("from minutes") << "0/1/0"
                                  << "0/0/59";
    QTest::newRow("from ten minutes") << "0/10/0"
                                      << "0/9/59";
    QTest::newRow("minutes and hours") << "1/5/0"
                                       << "1/4/59";
    QTest::newRow("from one hour") << "1/0/0"
                                   << "0/59/59";
    QTest::newRow("from two hours") << "2/0/0"
                                    << "1/59/59";
    QTest::newRow("top of range") << "23/59/59"
                                  << "23/59/58";
    QTest::newRow("hours above range") << "75/0/0"
                                       << "74/59/59";
    QTest::newRow("minutes above range") << "0/75/0"
                                         << "0/74/59";
    QTest::newRow("seconds above range") << "0/0/75"
                                         << "0/0/74";
    QTest::newRow("texts not written stay") << "00/01/00"
                                            << "00/0/59";
    QTest::newRow("fraction put right first") << "0/0/1.5"
                                              << "0/0/0";
    QTest::newRow("negative put right first") << "-2/3/0"
                                              << "0/2/59";
    QTest::newRow("empty put right first") << "1//0"
                                           << "0/59/59";
}

void TestCountdown::borrow()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    Program p;
    // Each slot's tick handler counts its own boxes and no others.
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 3; ++j)
            p.setTimes(j, from);
        p.tick(k);
        for (int j = 0; j < 3; ++j)
            QCOMPARE(p.times(j), j == k ? to : from);
    }
}

void TestCountdown::untickingCountingSlotAlertsAtNextTick()
{
    Program p;
    p.checkOf(0)->setChecked(true);
    p.setTimes(0, u"0/0/9"_s);
    p.start();
    p.tick(0);
    QCOMPARE(p.times(0), u"0/0/8"_s);

    QTest::mouseClick(p.checkOf(0), Qt::LeftButton);
    QVERIFY(!p.checkOf(0)->isChecked());
    QCOMPARE(p.times(0), u"0/0/0"_s);
    QVERIFY(p.timerOf(0)->Enabled()); // unticking does not stop the countdown

    QString window;
    whenModal([&](QWidget *w) {
        window = w->objectName();
        acknowledge(w);
    });
    p.tick(0);
    QCOMPARE(window, u"Form2"_s);
    QCOMPARE(p.running(), u"000"_s);
    QVERIFY(!p.checkOf(0)->isChecked());
}

void TestCountdown::alertsStackAndUnwindInOrder()
{
    Program p;
    p.form->Command2_Click(); // sound on: the beeper runs while a reminder is open
    runtime::Timer *beeper = timer(p.form.get(), "Timer4");
    const QStringList start{u"0/0/1"_s, u"0/0/1"_s, u"0/0/5"_s};
    for (int k = 0; k < 3; ++k) {
        p.checkOf(k)->setChecked(true);
        p.setTimes(k, start.at(k));
    }
    p.start();
    for (int k = 0; k < 3; ++k)
        p.tick(k);
    QCOMPARE(p.running(), u"111"_s);

    struct {
        QString lower, upper, thirdUnderLower;
        QString tickedUnderUpper, runningUnderUpper, tickedAfterUpper;
        bool lowerShownUnderUpper = false, beeperUnderUpper = false;
        bool lowerStillShown = false, lowerIsModalAgain = false, beeperAfterUpper = true;
    } seen;
    whenModal([&](QWidget *lower) {
        seen.lower = lower->objectName();
        p.tick(2); // another slot keeps counting under the open window
        seen.thirdUnderLower = p.times(2);
        whenModal([&](QWidget *upper) {
            seen.upper = upper->objectName();
            seen.lowerShownUnderUpper = lower->isVisible();
            seen.tickedUnderUpper = p.ticked();
            seen.runningUnderUpper = p.running();
            seen.beeperUnderUpper = beeper->Enabled();
            acknowledge(upper);
        });
        p.tick(1); // slot 2 reaches zero while slot 1's window is open
        seen.tickedAfterUpper = p.ticked();
        seen.beeperAfterUpper = beeper->Enabled();
        seen.lowerStillShown = lower->isVisible();
        seen.lowerIsModalAgain = QApplication::activeModalWidget() == lower;
        acknowledge(lower);
    });
    p.tick(0);

    QCOMPARE(seen.lower, u"Form2"_s);
    QCOMPARE(seen.thirdUnderLower, u"0/0/3"_s);
    QCOMPARE(seen.upper, u"Form3"_s);
    QVERIFY(seen.lowerShownUnderUpper);
    QCOMPARE(seen.tickedUnderUpper, u"111"_s);
    QCOMPARE(seen.runningUnderUpper, u"001"_s);
    QVERIFY(seen.beeperUnderUpper);
    // The upper tick resumed and cleared its own slot only; the beeper stopped with it.
    QCOMPARE(seen.tickedAfterUpper, u"101"_s);
    QVERIFY(!seen.beeperAfterUpper);
    QVERIFY(seen.lowerStillShown);
    QVERIFY(seen.lowerIsModalAgain);

    QCOMPARE(p.ticked(), u"001"_s);
    QCOMPARE(p.running(), u"001"_s);
    QCOMPARE(p.times(0), u"0/0/0"_s);
    QCOMPARE(p.times(1), u"0/0/0"_s);
    QCOMPARE(p.enabledBoxes(0) + p.enabledBoxes(1), 0);
}

QUORVANE_TEST_CLASS(TestCountdown)
#include "tst_countdown.moc"
