// The nine time boxes (key filter, focus rule), the recommended intervals, the health
// tips window and the program icon.
#include "alerts/reminderwindow.h"
#include "alerts/tipswindow.h"
#include "app/mainform.h"
#include "settings/savedintervals.h"
#include "testmain.h"
#include "testsupport.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QScreen>

#include <memory>

using namespace testsupport;

namespace {

const char *const kBoxNames[9] = {"h", "m", "s", "h2", "m2", "s2", "h3", "m3", "s3"};

/// The program as the tests start it: recorded message boxes, a scratch settings file
/// holding the given line, and the main window built on it.
void tickAll(MainForm &form)
{
    for (const char *name : {"Check1", "Check2", "Check3"})
        check(&form, name)->setChecked(true);
}

bool showActive(MainForm &form)
{
    form.show();
    form.activateWindow();
    return QTest::qWaitForWindowActive(&form);
}

/// Clicks a window's Command1 ("返回", "我已知晓"); hides the window if that did not, so
/// that a fault fails the test instead of leaving it blocked. Returns whether it hid it.
bool clickCommand1(QWidget *window)
{
    button(window, "Command1")->click();
    if (!window->isVisible())
        return true;
    window->hide();
    return false;
}

QStringList texts(MainForm &form)
{
    QStringList list;
    for (const char *name : kBoxNames)
        list << box(&form, name)->text();
    return list;
}

} // namespace

class TestTimeBoxes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void keyFilter_data();
    void keyFilter();
    void keysWithoutCharacter();
    void inputMethodCommit_data();
    void inputMethodCommit();
    void pastedTextIsPutRightOnLeaving();

    void hoursRule_data();
    void hoursRule();
    void minutesAndSecondsRule_data();
    void minutesAndSecondsRule();
    void everyBoxIsWiredToItsRule();
    void focusRuleOnEveryWayOut_data();
    void focusRuleOnEveryWayOut();
    void contextMenuAndOtherWindowsAreNoLoss();
    void startLabelKeepsTheFocus_data();
    void startLabelKeepsTheFocus();
    void buttonSeesTheBoxPutRight();

    void adviceWithNothingTicked();
    void adviceBetweenMessages();
    void adviceWithAllTicked();
    void adviceSkipsRunningSlot();
    void adviceReachesSlotNotYetTicked();
    void adviceWithRealMessageBoxes();

    void tipsShowAndReturn();
    void countdownRunsUnderTips();
    void reminderOpensAboveTips();
};

void TestTimeBoxes::init() { }

void TestTimeBoxes::cleanup()
{
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

// ---- Key filter ------------------------------------------------------------------------

void TestTimeBoxes::keyFilter_data()
{
    // The same for the nine boxes (everyBoxIsWiredToItsRule checks that each has it).
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QString>("after"); // the box holds "56", all selected: a cut or a paste would show
    QTest::newRow("digit") << int(Qt::Key_7) << "7" << int(Qt::NoModifier) << "7";
    QTest::newRow("keypad digit") << int(Qt::Key_3) << "3" << int(Qt::KeypadModifier) << "3";
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << int(Qt::NoModifier) << "";
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << int(Qt::NoModifier) << "56";
    QTest::newRow("capital") << int(Qt::Key_E) << "E" << int(Qt::ShiftModifier) << "56";
    QTest::newRow("space") << int(Qt::Key_Space) << " " << int(Qt::NoModifier) << "56";
    QTest::newRow("minus") << int(Qt::Key_Minus) << "-" << int(Qt::NoModifier) << "56";
    QTest::newRow("point") << int(Qt::Key_Period) << "." << int(Qt::NoModifier) << "56";
    QTest::newRow("Enter") << int(Qt::Key_Return) << "\r" << int(Qt::NoModifier) << "56";
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << "\r" << int(Qt::KeypadModifier) << "56";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "\x1b" << int(Qt::NoModifier) << "56";
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << "\x03" << int(Qt::ControlModifier) << "56";
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << "\x16" << int(Qt::ControlModifier) << "56";
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << "\x18" << int(Qt::ControlModifier) << "56";
    QTest::newRow("full-width digit") << 0 << QStringLiteral("１") << int(Qt::NoModifier) << "56";
    QTest::newRow("Chinese") << 0 << QStringLiteral("十") << int(Qt::NoModifier) << "56";
    QTest::newRow("two digits in one event") << 0 << "12" << int(Qt::NoModifier) << "12";
    QTest::newRow("digit and letter in one event") << 0 << "1a" << int(Qt::NoModifier) << "56";
}

void TestTimeBoxes::keyFilter()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, mods);
    QFETCH(QString, after);
    Fixture p;
    tickAll(*p.form);
    runtime::TextBox *b = box(p.form.get(), "m2");
    QApplication::clipboard()->setText(QStringLiteral("34"));
    b->setText(QStringLiteral("56"));
    b->selectAll();
    QTest::sendKeyEvent(QTest::Click, b, Qt::Key(key), text, Qt::KeyboardModifiers(mods));
    QCOMPARE(b->text(), after);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("34"));
    QVERIFY(p.fake.messages.isEmpty());
}

void TestTimeBoxes::keysWithoutCharacter()
{
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    runtime::TextBox *h3 = box(p.form.get(), "h3");
    h3->setFocus();
    h3->setText(QStringLiteral("123"));
    QTest::keyClick(h3, Qt::Key_Home);
    QTest::keyClick(h3, Qt::Key_Delete);
    QCOMPARE(h3->text(), QStringLiteral("23"));
    QTest::keyClick(h3, Qt::Key_End);
    QTest::keyClick(h3, Qt::Key_Left);
    QTest::keyClick(h3, Qt::Key_9);
    QCOMPARE(h3->text(), QStringLiteral("293"));
    QTest::keyClick(h3, Qt::Key_Right);
    QTest::keyClick(h3, Qt::Key_Backspace);
    QCOMPARE(h3->text(), QStringLiteral("29"));
    QTest::keyClick(h3, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), box(p.form.get(), "m3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), h3);
    QCOMPARE(h3->text(), QStringLiteral("23")); // put right on the way out
    QVERIFY(p.fake.messages.isEmpty());
}

void TestTimeBoxes::inputMethodCommit_data()
{
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("after");
    QTest::newRow("digits") << "12"
                            << "512";
    QTest::newRow("full-width digits") << "１２"
                                       << "5";
    QTest::newRow("Chinese") << "十二"
                             << "5";
    QTest::newRow("digit and letter") << "1a"
                                      << "5";
}

void TestTimeBoxes::inputMethodCommit()
{
    QFETCH(QString, commit);
    QFETCH(QString, after);
    Fixture p;
    tickAll(*p.form);
    runtime::TextBox *b = box(p.form.get(), "s");
    b->setText(QStringLiteral("5"));
    QInputMethodEvent event;
    event.setCommitString(commit);
    QApplication::sendEvent(b, &event);
    QCOMPARE(b->text(), after);
    QVERIFY(p.fake.messages.isEmpty());
}

void TestTimeBoxes::pastedTextIsPutRightOnLeaving()
{
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    runtime::TextBox *h = box(p.form.get(), "h");
    runtime::TextBox *m = box(p.form.get(), "m");
    h->setFocus();
    h->clear();
    QApplication::clipboard()->setText(QStringLiteral("1a2"));
    h->paste();
    QCOMPARE(h->text(), QStringLiteral("1a2"));
    QTest::keyClick(h, Qt::Key_Tab);
    QCOMPARE(h->text(), QStringLiteral("1"));
    QVERIFY(m->hasFocus());
    m->clear();
    m->insert(QStringLiteral("９9"));
    QCOMPARE(m->text(), QStringLiteral("９9"));
    QTest::keyClick(m, Qt::Key_Tab);
    QCOMPARE(m->text(), QStringLiteral("0"));
}

// ---- Focus rule --------------------------------------------------------------------------

namespace {

/// Texts a box may hold when it is left, with what it holds afterwards in an hours box
/// (up to 23) and in a minutes or seconds box (up to 59).
struct RuleRow {
    const char *name;
    QString before;
    const char *hours, *minutesSeconds;
};
const RuleRow kRuleRows[] = {
    {"empty", "", "0", "0"},
    {"0", "0", "0", "0"},
    {"00", "00", "0", "0"},
    {"007", "007", "7", "7"},
    {"23", "23", "23", "23"},
    {"24", "24", "23", "24"},
    {"59", "59", "23", "59"},
    {"60", "60", "23", "59"},
    {"75", "75", "23", "59"},
    {"100000", "100000", "23", "59"},
    {"digits then letters", "12abc", "12", "12"},
    {"fraction", "1.5", "1", "1"},
    {"fraction above one half", "2.9", "2", "2"},
    {"negative", "-5", "0", "0"},
    {"letters", "abc", "0", "0"},
    {"blank between digits", "1 2", "12", "12"},
    {"exponent", "1E3", "23", "59"},
    {"400 digits", QString(400, QLatin1Char('9')), "23", "59"},
    {"hexadecimal", "&H10", "16", "16"},
    {"full-width digits", QStringLiteral("１２"), "0", "0"},
};

/// Leaves the box with Tab, as the user does, and returns what it holds then.
QString leftHolding(const char *name, const QString &before)
{
    Fixture p;
    tickAll(*p.form);
    if (!showActive(*p.form))
        return QStringLiteral("(the window did not become active)");
    runtime::TextBox *b = box(p.form.get(), name);
    b->setFocus();
    b->setText(before);
    QTest::keyClick(b, Qt::Key_Tab);
    return b->hasFocus() ? QStringLiteral("(the box kept the focus)") : b->text();
}

} // namespace

void TestTimeBoxes::hoursRule_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    for (const RuleRow &r : kRuleRows)
        QTest::newRow(r.name) << r.before << r.hours;
}

void TestTimeBoxes::hoursRule()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(leftHolding("h2", before), after);
}

void TestTimeBoxes::minutesAndSecondsRule_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    for (const RuleRow &r : kRuleRows)
        QTest::newRow(r.name) << r.before << r.minutesSeconds;
}

void TestTimeBoxes::minutesAndSecondsRule()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QCOMPARE(leftHolding("s3", before), after);
}

void TestTimeBoxes::everyBoxIsWiredToItsRule()
{
    // Each of the nine boxes refuses a letter, takes a digit, and is put right on leaving
    // by its own field's limit: 23 for the hours boxes, 59 for the others.
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    QStringList typed, left;
    for (const char *name : kBoxNames) {
        runtime::TextBox *b = box(p.form.get(), name);
        b->setFocus();
        b->setText(QStringLiteral("7"));
        b->end(false);
        QTest::keyClick(b, Qt::Key_A);
        QTest::keyClick(b, Qt::Key_5);
        typed << b->text();
        QTest::keyClick(b, Qt::Key_Tab);
        left << b->text();
    }
    QCOMPARE(typed, QStringList(9, QStringLiteral("75")));
    QCOMPARE(left, (QStringList{"23", "59", "59", "23", "59", "59", "23", "59", "59"}));
    QVERIFY(p.fake.messages.isEmpty());
}

void TestTimeBoxes::focusRuleOnEveryWayOut_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("target"); // the control that has the focus afterwards
    QTest::newRow("Tab") << "Tab"
                         << "s2";
    QTest::newRow("Shift+Tab") << "Shift+Tab"
                               << "h2";
    QTest::newRow("click on a box") << "click"
                                    << "h";
    QTest::newRow("click on a check box") << "click"
                                          << "Check1";
    QTest::newRow("click on a button") << "click"
                                       << "Command2";
}

void TestTimeBoxes::focusRuleOnEveryWayOut()
{
    QFETCH(QString, way);
    QFETCH(QString, target);
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    runtime::TextBox *m2 = box(p.form.get(), "m2");
    m2->setFocus();
    m2->setText(QStringLiteral("75"));
    if (way == QLatin1String("Tab"))
        QTest::keyClick(m2, Qt::Key_Tab);
    else if (way == QLatin1String("Shift+Tab"))
        QTest::keyClick(m2, Qt::Key_Backtab, Qt::ShiftModifier);
    else
        QTest::mouseClick(p.form->findChild<QWidget *>(target), Qt::LeftButton);
    QWidget *now = QApplication::focusWidget();
    QVERIFY(now);
    QCOMPARE(now->objectName(), target);
    QCOMPARE(m2->text(), QStringLiteral("59"));
}

void TestTimeBoxes::contextMenuAndOtherWindowsAreNoLoss()
{
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    runtime::TextBox *s3 = box(p.form.get(), "s3");
    s3->setFocus();
    s3->setText(QStringLiteral("75"));
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(s3, &out);
        QCOMPARE(s3->text(), QStringLiteral("75"));
    }
    // Leaving it afterwards still puts it right.
    QTest::keyClick(s3, Qt::Key_Tab);
    QCOMPARE(s3->text(), QStringLiteral("59"));
}

void TestTimeBoxes::startLabelKeepsTheFocus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("after");
    // Whole numbers are counted as typed; a text that is no whole number of 0 or more is
    // put right by the box's rule before the start action counts it.
    QTest::newRow("minutes above the limit") << "m"
                                             << "75"
                                             << "75";
    QTest::newRow("hours with leading zeros") << "h"
                                              << "007"
                                              << "007";
    QTest::newRow("emptied seconds") << "s"
                                     << ""
                                     << "0";
    QTest::newRow("pasted junk") << "h"
                                 << "12abc"
                                 << "12";
}

void TestTimeBoxes::startLabelKeepsTheFocus()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, after);
    Fixture p;
    check(p.form.get(), "Check1")->setChecked(true);
    box(p.form.get(), "m")->setText(QStringLiteral("1"));
    QVERIFY(showActive(*p.form));
    runtime::TextBox *b = box(p.form.get(), qPrintable(name));
    b->setFocus();
    b->setText(text);
    QTest::mouseClick(label(p.form.get(), "Label2"), Qt::LeftButton);
    QVERIFY(timer(p.form.get(), "Timer1")->isActive()); // the click did start the slot
    QVERIFY(b->hasFocus());
    QCOMPARE(b->text(), after);
}

void TestTimeBoxes::buttonSeesTheBoxPutRight()
{
    // Command1 saves the boxes: it must read the value after the rule has run.
    Fixture p;
    tickAll(*p.form);
    QVERIFY(showActive(*p.form));
    runtime::TextBox *m = box(p.form.get(), "m");
    m->setFocus();
    m->setText(QStringLiteral("75"));
    QTest::mouseClick(button(p.form.get(), "Command1"), Qt::LeftButton);
    QVERIFY(button(p.form.get(), "Command1")->hasFocus());
    QCOMPARE(m->text(), QStringLiteral("59"));
    QCOMPARE(p.folder.read(), QByteArray("0,59,0,0,0,0,0,0,0\r\n"));
    QVERIFY(p.fake.messages.isEmpty());
}

// ---- Recommended intervals ---------------------------------------------------------------

void TestTimeBoxes::adviceWithNothingTicked()
{
    Fixture p("1,2,3,4,5,6,7,8,9\r\n");
    button(p.form.get(), "Command4")->click();
    QCOMPARE(p.fake.texts(), (QStringList{"喝水一栏未打勾", "远眺一栏未打勾", "厕所一栏未打勾"}));
    for (const Shown &shown : p.fake.messages) {
        QCOMPARE(shown.title, QString());
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(texts(*p.form), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

void TestTimeBoxes::adviceBetweenMessages()
{
    Fixture p("1,2,3,4,5,6,7,8,9\r\n");
    check(p.form.get(), "Check2")->setChecked(true);
    QStringList seenEyeRest;
    p.fake.onMessage = [&] {
        seenEyeRest << QStringList{box(p.form.get(), "h2")->text(), box(p.form.get(), "m2")->text(),
                                   box(p.form.get(), "s2")->text()}
                           .join('/');
    };
    button(p.form.get(), "Command4")->click();
    QCOMPARE(p.fake.texts(), (QStringList{"喝水一栏未打勾", "厕所一栏未打勾"}));
    QCOMPARE(seenEyeRest, (QStringList{"4/5/6", "1/0/0"}));
    QCOMPARE(texts(*p.form), (QStringList{"1", "2", "3", "1", "0", "0", "7", "8", "9"}));
}

void TestTimeBoxes::adviceWithAllTicked()
{
    // Written into the boxes only: neither the saved intervals nor the file change.
    Fixture p("1,2,3,4,5,6,7,8,9\r\n");
    const QByteArray file = p.folder.read();
    tickAll(*p.form);
    const QStringList advice{"0", "30", "0", "1", "0", "0", "2", "0", "0"};
    for (int click = 0; click < 2; ++click) {
        button(p.form.get(), "Command4")->click();
        QCOMPARE(texts(*p.form), advice);
    }
    QVERIFY(p.fake.messages.isEmpty());
    QCOMPARE(p.folder.read(), file);
}

void TestTimeBoxes::adviceSkipsRunningSlot()
{
    Fixture p;
    tickAll(*p.form);
    box(p.form.get(), "s")->setText(QStringLiteral("5"));
    p.form->Label2_Click();
    p.form->Timer1_Timer();
    QCOMPARE(texts(*p.form).mid(0, 3), (QStringList{"0", "0", "4"}));
    button(p.form.get(), "Command4")->click();
    QCOMPARE(p.fake.texts(), QStringList{"喝水一栏未打勾"});
    QCOMPARE(texts(*p.form), (QStringList{"0", "0", "4", "1", "0", "0", "2", "0", "0"}));
    QVERIFY(timer(p.form.get(), "Timer1")->isActive());
    p.form->Timer1_Timer();
    QCOMPARE(texts(*p.form).mid(0, 3), (QStringList{"0", "0", "3"}));
}

void TestTimeBoxes::adviceReachesSlotNotYetTicked()
{
    // Started less than a second ago: the boxes are still open, so the advice is written
    // and the countdown goes on from it.
    Fixture p;
    check(p.form.get(), "Check1")->setChecked(true);
    box(p.form.get(), "s")->setText(QStringLiteral("5"));
    p.form->Label2_Click();
    QVERIFY(timer(p.form.get(), "Timer1")->isActive());
    button(p.form.get(), "Command4")->click();
    QCOMPARE(texts(*p.form).mid(0, 3), (QStringList{"0", "30", "0"}));
    QCOMPARE(p.fake.texts(), (QStringList{"远眺一栏未打勾", "厕所一栏未打勾"}));
    p.form->Timer1_Timer();
    QCOMPARE(texts(*p.form).mid(0, 3), (QStringList{"0", "29", "59"}));
}

void TestTimeBoxes::adviceWithRealMessageBoxes()
{
    Fixture p("1,2,3,4,5,6,7,8,9\r\n");
    p.fake.hooks.message = app::desktopHooks().message;
    check(p.form.get(), "Check3")->setChecked(true);
    QList<SeenBox> seen;
    QStringList toiletWhenShown;
    std::function<void()> answerNext = [&] {
        whenModal([&](QWidget *w) {
            auto *mb = qobject_cast<QMessageBox *>(w);
            if (!mb) {
                w->hide();
                return;
            }
            seen.append({mb->text(), mb->windowTitle(), mb->icon(), true});
            toiletWhenShown << box(p.form.get(), "h3")->text();
            if (seen.size() < 2)
                answerNext();
            mb->button(QMessageBox::Ok)->click();
        });
    };
    answerNext();
    button(p.form.get(), "Command4")->click();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].text, QStringLiteral("喝水一栏未打勾"));
    QCOMPARE(seen[1].text, QStringLiteral("远眺一栏未打勾"));
    QCOMPARE(toiletWhenShown, (QStringList{"7", "7"}));
    for (const SeenBox &b : seen) {
        QCOMPARE(b.title, QStringLiteral("Quorvane"));
        QCOMPARE(b.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(texts(*p.form), (QStringList{"1", "2", "3", "4", "5", "6", "2", "0", "0"}));
}

// ---- Health tips window ------------------------------------------------------------------

void TestTimeBoxes::tipsShowAndReturn()
{
    Fixture p;
    QList<QWidget *> shown;
    QList<QRect> geometries;
    QList<bool> modal, keptByEscape, hiddenByBack;
    for (int round = 0; round < 2; ++round) {
        whenModal([&](QWidget *w) {
            shown << w;
            geometries << w->geometry();
            modal << w->isModal();
            QTest::keyClick(w, Qt::Key_Escape);
            keptByEscape << w->isVisible();
            QTest::mouseClick(button(w, "Command1"), Qt::LeftButton);
            hiddenByBack << !w->isVisible();
            w->hide();
        });
        QTest::mouseClick(button(p.form.get(), "Command3"), Qt::LeftButton);
        QCOMPARE(shown.size(), round + 1);
    }
    QCOMPARE(shown[0], window(p.form.get(), "Form5"));
    QCOMPARE(shown[1], shown[0]);
    QCOMPARE(shown[0]->objectName(), QStringLiteral("Form5"));
    QCOMPARE(modal, (QList<bool>{true, true}));
    QCOMPARE(keptByEscape, (QList<bool>{true, true}));
    QCOMPARE(hiddenByBack, (QList<bool>{true, true}));
    const QRect screen = p.form->screen()->availableGeometry();
    for (const QRect &g : geometries) {
        QVERIFY2(qAbs(g.center().x() - screen.center().x()) <= 1 && qAbs(g.center().y() - screen.center().y()) <= 1,
                 qPrintable(QStringLiteral("tips at %1,%2").arg(g.x()).arg(g.y())));
    }
}

void TestTimeBoxes::countdownRunsUnderTips()
{
    Fixture p;
    check(p.form.get(), "Check1")->setChecked(true);
    box(p.form.get(), "s")->setText(QStringLiteral("5"));
    p.form->Label2_Click();
    QString secondsUnderTips;
    bool back = false;
    whenModal([&](QWidget *w) {
        p.form->Timer1_Timer();
        secondsUnderTips = box(p.form.get(), "s")->text();
        back = clickCommand1(w);
    });
    p.form->Command3_Click();
    QVERIFY(back);
    QCOMPARE(secondsUnderTips, QStringLiteral("4"));
    QVERIFY(timer(p.form.get(), "Timer1")->isActive());
}

void TestTimeBoxes::reminderOpensAboveTips()
{
    Fixture p;
    check(p.form.get(), "Check1")->setChecked(true); // 0/0/0: the next tick alerts
    QString reminderName;
    bool tipsVisibleBelow = false, reminderModal = false, acknowledged = false, back = false;
    whenModal([&](QWidget *tips) {
        whenModal([&](QWidget *reminder) {
            reminderName = reminder->objectName();
            reminderModal = reminder->isModal();
            tipsVisibleBelow = tips->isVisible();
            acknowledged = clickCommand1(reminder);
        });
        p.form->Timer1_Timer(); // returns once the reminder is acknowledged
        back = clickCommand1(tips);
    });
    p.form->Command3_Click();
    QVERIFY(acknowledged);
    QVERIFY(back);
    QCOMPARE(reminderName, QStringLiteral("Form2"));
    QVERIFY(reminderModal);
    QVERIFY(tipsVisibleBelow);
    QVERIFY(!window(p.form.get(), "Form2")->isVisible());
    QVERIFY(!check(p.form.get(), "Check1")->isChecked());
}

QUORVANE_TEST_CLASS(TestTimeBoxes)
#include "tst_timeboxes.moc"
