// The additions that know the person's day, on the real main window: the options window,
// working hours, the natural eye rest after an absence, and the hold while he presents,
// with the clock, the idle time and the desktop's word on presenting given by the test.
#include "companion/companionprogram.h"
#include "testmain.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QSettings>
#include <QSpinBox>
#include <QTimeEdit>

#include "platform/autostart.h"
#include "platform/donotdisturb.h"

using namespace testsupport;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QCheckBox *labelled(QWidget *w, const QString &text)
{
    for (QCheckBox *box : w->findChildren<QCheckBox *>())
        if (box->text() == text)
            return box;
    return nullptr;
}

void click(QWidget *w, const QString &text)
{
    QCheckBox *box = labelled(w, text);
    QVERIFY2(box, qPrintable(text));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
}

/// Presses "确定" or "取消" of the options window.
void press(QWidget *w, const QString &caption)
{
    for (QPushButton *b : w->findChild<QDialogButtonBox *>()->findChildren<QPushButton *>())
        if (b->text() == caption)
            QTest::mouseClick(b, Qt::LeftButton);
    if (w->isVisible())
        w->hide(); // fails the test, not hangs it
}

QString optionsText(const Program &p)
{
    QFile f(p.optionsPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

/// "Key=value" as the options file holds it now ([Reminders] group), a list read as the
/// person would write it.
QString optionsLine(const Program &p, const QString &key)
{
    const QVariant value = QSettings(p.optionsPath(), QSettings::IniFormat).value(u"Reminders/"_s + key);
    return key + u'=' + (value.typeId() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString());
}

} // namespace

class TestDay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }
    void optionsWindowRoundTrip();
    void handWrittenValues_data();
    void handWrittenValues();
    void workingHours_data();
    void workingHours();
    void workingHoursKeepThePersonsPause();
    void eyeRestAfterAbsence_data();
    void eyeRestAfterAbsence();
    void presenting_data();
    void presenting();
};

void TestDay::optionsWindowRoundTrip()
{
    Program p;
    QString title;
    bool wasModal = false;
    QStringList greyed;
    whenModal([&](QWidget *w) {
        title = w->windowTitle();
        wasModal = w->isModal();
        // The minutes and the days count only with their switches: greyed out until then.
        for (QWidget *c : {static_cast<QWidget *>(w->findChild<QSpinBox *>()), static_cast<QWidget *>(labelled(w, u"周六"_s))})
            if (!c->isEnabled())
                greyed << c->metaObject()->className();
        click(w, u"到时后自动重新计时"_s);
        click(w, u"登录后自动启动"_s);
        click(w, u"离开电脑时暂停计时"_s);
        w->findChild<QSpinBox *>()->setValue(12);
        click(w, u"演示、全屏或免打扰时推迟提醒"_s);
        click(w, u"只在工作时间提醒"_s);
        click(w, u"周六"_s);
        click(w, u"周一"_s);
        const QList<QTimeEdit *> times = w->findChildren<QTimeEdit *>();
        times.value(0)->setTime(QTime(8, 30));
        times.value(1)->setTime(QTime(17, 0));
        press(w, u"确定"_s);
    });
    p.menu().options()->trigger();
    QCOMPARE(title, u"选项"_s);
    QVERIFY(wasModal);
    QCOMPARE(greyed, (QStringList{u"QSpinBox"_s, u"QCheckBox"_s}));
    // Kept, and the menu's own items agree.
    const QSettings file(p.optionsPath(), QSettings::IniFormat);
    QCOMPARE(file.value(u"Reminders/AutoRepeat"_s).toString(), u"true"_s);
    QCOMPARE(file.value(u"Reminders/AwayHold"_s).toString(), u"true"_s);
    QCOMPARE(file.value(u"Reminders/AwayAfterMinutes"_s).toString(), u"12"_s);
    QCOMPARE(file.value(u"Reminders/EyeRestAfterAway"_s).toString(), u"true"_s);
    QCOMPARE(file.value(u"Reminders/HoldWhilePresenting"_s).toString(), u"false"_s);
    QCOMPARE(file.value(u"Reminders/WorkingHoursOnly"_s).toString(), u"true"_s);
    QCOMPARE(file.value(u"Reminders/WorkingDays"_s).toString(), u"2,3,4,5,6"_s);
    QCOMPARE(file.value(u"Reminders/WorkFrom"_s).toString(), u"08:30"_s);
    QCOMPARE(file.value(u"Reminders/WorkTo"_s).toString(), u"17:00"_s);
    QVERIFY(p.menu().autoRepeat()->isChecked());
    QVERIFY(p.menu().awayHold()->isChecked());
    QVERIFY(p.menu().autostart()->isChecked());
    QVERIFY(platform::Autostart(QCoreApplication::applicationFilePath(), platform::Autostart::defaultPath()).isEnabled());

    // A menu item changed afterwards shows in the window; "取消" changes nothing.
    p.menu().autoRepeat()->trigger();
    const QString before = optionsText(p);
    QStringList shown;
    whenModal([&](QWidget *w) {
        for (const QString &text : {u"到时后自动重新计时"_s, u"登录后自动启动"_s, u"离开电脑时暂停计时"_s,
                                    u"演示、全屏或免打扰时推迟提醒"_s, u"只在工作时间提醒"_s, u"周一"_s, u"周六"_s})
            shown << text + (labelled(w, text)->isChecked() ? u" 开"_s : u" 关"_s);
        shown << QString::number(w->findChild<QSpinBox *>()->value());
        click(w, u"离开电脑时暂停计时"_s);
        click(w, u"登录后自动启动"_s);
        press(w, u"取消"_s);
    });
    p.menu().options()->trigger();
    QCOMPARE(shown, (QStringList{u"到时后自动重新计时 关"_s, u"登录后自动启动 开"_s, u"离开电脑时暂停计时 开"_s,
                                 u"演示、全屏或免打扰时推迟提醒 关"_s, u"只在工作时间提醒 开"_s, u"周一 关"_s,
                                 u"周六 开"_s, u"12"_s}));
    QCOMPARE(optionsText(p), before);
    QVERIFY(p.menu().awayHold()->isChecked());
    QVERIFY(p.menu().autostart()->isChecked());
    QVERIFY(platform::Autostart(QCoreApplication::applicationFilePath(), platform::Autostart::defaultPath()).disable());

    // The next start reads them all.
    p.restart();
    whenModal([&](QWidget *w) {
        shown = {QString::number(w->findChild<QSpinBox *>()->value()),
                 w->findChildren<QTimeEdit *>().value(0)->time().toString(u"HH:mm"_s)};
        press(w, u"取消"_s);
    });
    p.menu().options()->trigger();
    QCOMPARE(shown, (QStringList{u"12"_s, u"08:30"_s}));
}

void TestDay::handWrittenValues_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("shown");
    QTest::newRow("out of range and no times") << QByteArray("AwayAfterMinutes=0\nWorkingDays=8\nWorkFrom=25:00\n")
                                               << u"5 周一 09:00"_s;
    QTest::newRow("words") << QByteArray("AwayAfterMinutes=soon\nWorkingDays=Monday\nWorkFrom=nine\n")
                           << u"5 周一 09:00"_s;
    QTest::newRow("a list written by hand") << QByteArray("AwayAfterMinutes=30\nWorkingDays=6,7\nWorkFrom=7:15\n")
                                            << u"30 周六 07:15"_s;
}

void TestDay::handWrittenValues()
{
    QFETCH(QByteArray, written);
    QFETCH(QString, shown);
    Program p("[Reminders]\n" + written);
    QVERIFY(p.fake.messages.isEmpty()); // not a damaged file: only those values count as the defaults
    const auto seen = [&p] {
        QString text;
        whenModal([&text](QWidget *w) {
            QStringList days;
            for (const char *day : {"周一", "周二", "周三", "周四", "周五", "周六", "周日"})
                if (labelled(w, QString::fromUtf8(day))->isChecked())
                    days << QString::fromUtf8(day);
            text = u"%1 %2 %3"_s.arg(w->findChild<QSpinBox *>()->value())
                       .arg(days.value(0))
                       .arg(w->findChildren<QTimeEdit *>().value(0)->time().toString(u"HH:mm"_s));
            press(w, u"确定"_s);
        });
        p.menu().options()->trigger();
        return text;
    };
    QCOMPARE(seen(), shown);
    // "确定" with nothing changed: the file keeps them as the person wrote them.
    const QStringList lines = QString::fromUtf8(written).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines)
        QCOMPARE(optionsLine(p, line.section(u'=', 0, 0)), line);

    // Changed in the window, a value is written as chosen; the others stay as written.
    whenModal([](QWidget *w) {
        w->findChild<QSpinBox *>()->setValue(7);
        press(w, u"确定"_s);
    });
    p.menu().options()->trigger();
    QCOMPARE(optionsLine(p, u"AwayAfterMinutes"_s), u"AwayAfterMinutes=7"_s);
    for (const QString &line : lines.mid(1))
        QCOMPARE(optionsLine(p, line.section(u'=', 0, 0)), line);
}

void TestDay::workingHours_data()
{
    // Each step: the clock moves to a time, the additions' wake-up comes, and the water
    // countdown runs or holds then. 2024-05-06 is a Monday.
    QTest::addColumn<QByteArray>("hours");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QStringList>("steps");
    const QByteArray office = "WorkingHoursOnly=true\n";
    QTest::newRow("the day ends, the next begins")
        << office << QDateTime(QDate(2024, 5, 6), QTime(17, 59, 0))
        << QStringList{u"2024-05-06T17:59:59 runs"_s, u"2024-05-06T18:00:00 holds"_s,
                       u"2024-05-07T08:59:59 holds"_s, u"2024-05-07T09:00:00 runs"_s};
    QTest::newRow("the weekend")
        << office << QDateTime(QDate(2024, 5, 10), QTime(17, 0, 0))
        << QStringList{u"2024-05-10T18:00:00 holds"_s, u"2024-05-11T09:00:00 holds"_s,
                       u"2024-05-12T12:00:00 holds"_s, u"2024-05-13T09:00:00 runs"_s};
    QTest::newRow("started outside: it waits for working time")
        << office << QDateTime(QDate(2024, 5, 6), QTime(7, 0, 0))
        << QStringList{u"2024-05-06T07:00:00 holds"_s, u"2024-05-06T09:00:00 runs"_s};
    QTest::newRow("a night shift past midnight")
        << QByteArray("WorkingHoursOnly=true\nWorkingDays=1\nWorkFrom=22:00\nWorkTo=06:00\n")
        << QDateTime(QDate(2024, 5, 6), QTime(21, 0, 0))
        << QStringList{u"2024-05-06T21:00:00 holds"_s, u"2024-05-06T22:00:00 runs"_s,
                       u"2024-05-07T05:59:00 runs"_s, u"2024-05-07T06:00:00 holds"_s,
                       u"2024-05-07T22:00:00 holds"_s};
    QTest::newRow("off: nothing holds") << QByteArray() << QDateTime(QDate(2024, 5, 11), QTime(3, 0, 0))
                                        << QStringList{u"2024-05-11T03:00:00 runs"_s, u"2024-05-12T23:00:00 runs"_s};
}

void TestDay::workingHours()
{
    QFETCH(QByteArray, hours);
    QFETCH(QDateTime, start);
    QFETCH(QStringList, steps);
    Program p;
    p.now = start;
    if (!hours.isEmpty())
        Program::writeFile(p.optionsPath(), "[Reminders]\n" + hours);
    p.restart();
    // The start action works at any hour; outside working time its countdown waits.
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.form->Label2_Click();
    QVERIFY(p.fake.messages.isEmpty());
    const QStringList boxes = boxTexts(p.slot(0));
    for (const QString &step : steps) {
        p.now = QDateTime::fromString(step.section(u' ', 0, 0), Qt::ISODate);
        p.fire("workingHours");
        const bool runs = step.endsWith(u"runs"_s);
        QVERIFY2(p.slot(0).timer->isActive() == runs, qPrintable(step));
        QVERIFY2(p.toolTip().contains(u"工作时间外，已暂停"_s) == !runs, qPrintable(p.toolTip()));
        QVERIFY2(p.toolTip().contains(u"喝水 0:30:00"_s), qPrintable(p.toolTip()));
        QCOMPARE(boxTexts(p.slot(0)), boxes);
    }
}

void TestDay::workingHoursKeepThePersonsPause()
{
    Program p("[Reminders]\nWorkingHoursOnly=true\n");
    p.now = QDateTime(QDate(2024, 5, 7), QTime(8, 30, 0));
    p.restart();
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    p.form->Label2_Click();
    p.menu().pauseHour()->trigger(); // until 09:30
    p.now = QDateTime(QDate(2024, 5, 7), QTime(9, 0, 0));
    p.fire("workingHours"); // working time begins: the person's pause is still his
    QVERIFY(p.paused());
    QVERIFY(!p.slot(0).timer->isActive());
    p.now = QDateTime(QDate(2024, 5, 7), QTime(9, 30, 0));
    p.fire("pauseEnd");
    QVERIFY(!p.paused());
    QVERIFY(p.slot(0).timer->isActive());
    // The tick finds working time over (the computer slept past its end): it holds at once.
    p.now = QDateTime(QDate(2024, 5, 7), QTime(19, 0, 0));
    p.tick(0);
    QVERIFY(!p.slot(0).timer->isActive());
}

void TestDay::eyeRestAfterAbsence_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<bool>("eyesStarted");
    QTest::addColumn<QStringList>("eyesAfter");
    const QStringList whole{u"1"_s, u"0"_s, u"0"_s}, where{u"0"_s, u"59"_s, u"59"_s};
    QTest::newRow("the eyes rested: the whole interval again")
        << QByteArray("[Reminders]\nAwayHold=true\n") << true << whole;
    QTest::newRow("the choice off: it goes on where it stood")
        << QByteArray("[Reminders]\nAwayHold=true\nEyeRestAfterAway=false\n") << true << where;
    QTest::newRow("no eye-rest countdown: nothing starts")
        << QByteArray("[Reminders]\nAwayHold=true\n") << false << QStringList{u"0"_s, u"0"_s, u"0"_s};
}

void TestDay::eyeRestAfterAbsence()
{
    QFETCH(QByteArray, options);
    QFETCH(bool, eyesStarted);
    QFETCH(QStringList, eyesAfter);
    Program p(options);
    p.select(0, u"0"_s, u"30"_s, u"0"_s);
    if (eyesStarted)
        p.select(1, u"1"_s, u"0"_s, u"0"_s);
    p.form->Label2_Click();
    p.tick(0);
    if (eyesStarted)
        p.tick(1);
    const QStringList water = boxTexts(p.slot(0));
    p.idle = 5min; // no input for five minutes: away since then
    p.fire("awayPoll");
    QVERIFY(!p.slot(1).timer->isActive());
    p.now = p.now.addSecs(55 * 60);
    p.idle = 1s;
    p.fire("awayPoll");
    QCOMPARE(boxTexts(p.slot(1)), eyesAfter);
    QCOMPARE(p.slot(1).timer->isActive(), eyesStarted);
    QCOMPARE(boxTexts(p.slot(0)), water); // water and the toilet only held
    QVERIFY(p.slot(0).timer->isActive());
    const bool rested = eyesAfter == QStringList{u"1"_s, u"0"_s, u"0"_s};
    QCOMPARE(recordRows(p.historyPath(), u"SELECT slot, absence FROM rests"_s),
             rested ? QStringList{u"1 3600"_s} : QStringList());
    if (rested) { // it counts the interval as after the person's own start
        QVERIFY(p.slot(1).h->isEnabled());
        p.tick(1);
        QCOMPARE(boxTexts(p.slot(1)), (QStringList{u"0"_s, u"59"_s, u"59"_s}));
    }
}

void TestDay::presenting_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<bool>("waits");
    QTest::newRow("on by default: the reminder waits") << QByteArray() << true;
    QTest::newRow("off: it opens at once") << QByteArray("[Reminders]\nHoldWhilePresenting=false\n") << false;
}

void TestDay::presenting()
{
    QFETCH(QByteArray, options);
    QFETCH(bool, waits);
    Program p(options);
    bool presenting = false;
    p.wiring.reset();
    auto setup = app::CompanionWiring::setupFor(*p.form, p.fake.hooks);
    setup.clock = [&p] { return p.now; };
    setup.historyPath = p.historyPath();
    setup.doNotDisturb = [&presenting] { return presenting; };
    p.wiring = std::make_unique<app::CompanionWiring>(*p.form, std::move(setup));
    auto *desktop = p.form->findChild<platform::DoNotDisturb *>();
    QVERIFY(desktop);

    p.select(0, u"0"_s, u"0"_s, u"1"_s);
    p.select(1, u"0"_s, u"0"_s, u"5"_s);
    p.form->Label2_Click();
    p.tick(0);
    p.tick(1);
    presenting = true; // a slide show went full screen: not announced, asked at the reminder
    QString opened;
    whenModal(
        [&opened](QWidget *w) {
            opened = w->objectName();
            acknowledge(w);
        },
        300);
    p.tick(0);
    if (!waits) {
        QCOMPARE(opened, u"Form2"_s);
        QVERIFY(!p.slot(0).check->isChecked());
        return;
    }
    QTest::qWait(400);
    QCOMPARE(opened, QString());
    QVERIFY(p.slot(0).check->isChecked());
    QCOMPARE(boxTexts(p.slot(0)), (QStringList{u"0"_s, u"0"_s, u"0"_s}));
    QVERIFY(!p.slot(0).timer->isActive());
    QVERIFY2(p.toolTip().contains(u"喝水 等待中（演示或免打扰）"_s), qPrintable(p.toolTip()));
    p.tick(1); // counting goes on
    QCOMPARE(boxTexts(p.slot(1)), (QStringList{u"0"_s, u"0"_s, u"3"_s}));
    QVERIFY(recordRows(p.historyPath(), u"SELECT slot FROM reminders"_s).isEmpty());

    // The presentation ends 90 seconds later: the reminder opens as it would have.
    p.now = p.now.addSecs(90);
    presenting = false;
    bool beeping = false;
    p.form->Command2_Click(); // the sound switch is read now
    whenModal([&](QWidget *w) {
        opened = w->objectName();
        beeping = timer(p.form.get(), "Timer4")->isActive();
        acknowledge(w);
    });
    Q_EMIT desktop->changed();
    QTRY_COMPARE(opened, u"Form2"_s);
    QVERIFY(beeping);
    QTRY_VERIFY(!p.slot(0).check->isChecked());
    QCOMPARE(recordRows(p.historyPath(), u"SELECT slot, how, waited, due IS NOT NULL FROM reminders"_s),
             QStringList{u"0 acknowledged 90 1"_s});
}

QUORVANE_TEST_CLASS(TestDay)
#include "tst_day.moc"
