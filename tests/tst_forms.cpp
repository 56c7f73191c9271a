// The small forms layer: what it adds to Qt's widgets.
#include "forms/clicklabel.h"
#include "forms/commandbutton.h"
#include "forms/form.h"
#include "forms/formbuilder.h"
#include "forms/line.h"
#include "forms/systembell.h"
#include "forms/textbox.h"
#include "forms/timer.h"
#include "testsupport.h"

#include <QInputMethodEvent>
#include <QSignalSpy>

using namespace testsupport;
using forms::ControlDef;
using forms::FormDef;
using forms::Kind;

namespace {

class CountingForm : public forms::Form
{
public:
    using forms::Form::Form;
    void Form_Load() override { ++loads; }
    int loads = 0;
};

FormDef smallForm(FormDef::Position position = FormDef::Position::CenterOwner)
{
    return FormDef{.name = "FormX",
                   .caption = "FormX",
                   .clientWidth = 3000,
                   .clientHeight = 1500,
                   .border = FormDef::Border::None,
                   .position = position,
                   .controls = {{.kind = Kind::CommandButton, .name = "Command1", .caption = "OK", .left = 150,
                                 .top = 150, .width = 1500, .height = 450, .tabIndex = 0}}};
}

} // namespace

class TestForms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(!QApplication::activeModalWidget()); }

    void twipsRoundToNearestPixel_data();
    void twipsRoundToNearestPixel();
    void timerEnabledFollowsItsRules();
    void labelReportsClicksWithoutTakingFocus();
    void labelDoubleClickIsNotASecondClick();
    void textBoxReportsCharacterCodes_data();
    void textBoxReportsCharacterCodes();
    void textBoxDropsRefusedKeysOnly();
    void textBoxFiltersInputMethodText();
    void textBoxLostFocusOnlyForControlsOfTheProgram_data();
    void textBoxLostFocusOnlyForControlsOfTheProgram();
    void textBoxDisabledUnderFocusIsNotLeft();
    void buttonCaptionWrapsAtBlanks();
    void builderStacksAndOrdersControls();
    void opaqueLabelWithoutColourUsesDefault();
    void lineCoversItsEndsAndLetsClicksThrough();
    void formLoadsOnceAndShowReturnsWhenHidden();
    void formIgnoresEscapeAndCloseRequests();
    void formCentresOnScreenWhenAsked();
    void formCentresOverItsOwnerAndStaysOnScreen();
    void messageBoxTitles();
    void systemBellPlaysTheSoundThemeBell();
};

void TestForms::twipsRoundToNearestPixel_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("pixels");
    QTest::newRow("exact") << 13395 << 893;
    QTest::newRow("below half") << 7 << 0;
    QTest::newRow("half") << 8 << 1;
    QTest::newRow("just under two") << 22 << 1;
    QTest::newRow("rounds up") << 23 << 2;
    QTest::newRow("check box width") << 135 << 9;
    QTest::newRow("negative") << -8 << -1;
}

void TestForms::twipsRoundToNearestPixel()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(forms::toPixels(twips), pixels);
}

void TestForms::timerEnabledFollowsItsRules()
{
    forms::Timer timer(nullptr, 1000);
    QVERIFY(!timer.Enabled()); // off from creation
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    timer.setEnabled(true);
    QVERIFY(timer.Enabled());
    QTest::qWait(300);
    timer.setEnabled(true); // true -> true: the running interval goes on
    QVERIFY2(timer.remainingTime() <= 750, qPrintable(QString::number(timer.remainingTime())));
    timer.setEnabled(false);
    QVERIFY(!timer.Enabled());
    timer.setEnabled(true); // false -> true: a fresh interval
    QVERIFY(timer.remainingTime() > 900);
}

void TestForms::labelReportsClicksWithoutTakingFocus()
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *label = new forms::ClickLabel(&window);
    label->setGeometry(0, 40, 100, 30);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QSignalSpy clicks(label, &forms::ClickLabel::Click);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(edit->hasFocus());
    // Released outside the label: no click.
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 500));
    QCOMPARE(clicks.count(), 1);
    // Right button: no click.
    QTest::mouseClick(label, Qt::RightButton);
    QCOMPARE(clicks.count(), 1);
}

void TestForms::labelDoubleClickIsNotASecondClick()
{
    QWidget window;
    window.resize(200, 100);
    auto *label = new forms::ClickLabel(&window);
    label->setGeometry(0, 0, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(label, &forms::ClickLabel::Click);
    QSignalSpy doubles(label, &forms::ClickLabel::DblClick);
    // As the desktop delivers it: press, release, press, double click, release.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(doubles.count(), 1);
    QCOMPARE(clicks.count(), 1);
    // A click after the double click counts again.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50), 1000);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(doubles.count(), 1);
}

void TestForms::textBoxReportsCharacterCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("digit") << int(Qt::Key_5) << 0 << "5" << 53;
    QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << 97;
    QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << 32;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 8;
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "\r" << 13;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << 0 << "\r" << 13;
    QTest::newRow("escape") << int(Qt::Key_Escape) << 0 << "\x1b" << 27;
    QTest::newRow("ctrl+c") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03" << 3;
    QTest::newRow("ctrl+v") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16" << 22;
    QTest::newRow("ctrl+x") << int(Qt::Key_X) << int(Qt::ControlModifier) << "" << 24;
    QTest::newRow("full-width digit") << int(Qt::Key_unknown) << 0 << "１" << 0xFF11;
    QTest::newRow("Chinese") << int(Qt::Key_unknown) << 0 << "喝" << 0x559D;
    QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << "\t" << -1;
    QTest::newRow("left") << int(Qt::Key_Left) << 0 << "" << -1;
    QTest::newRow("home") << int(Qt::Key_Home) << 0 << "" << -1;
    QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "\x7f" << -1;
    QTest::newRow("ctrl+home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << "" << -1;
}

void TestForms::textBoxReportsCharacterCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(forms::TextBox::characterCode(&event), code);
}

void TestForms::textBoxDropsRefusedKeysOnly()
{
    forms::TextBox box;
    QList<int> seen;
    box.onKeyPress = [&](int &code) {
        seen << code;
        if (code == 'x')
            code = 0;
    };
    box.show();
    QTest::keyClicks(&box, "1x2");
    QCOMPARE(box.text(), QStringLiteral("12"));
    QCOMPARE(seen, (QList<int>{'1', 'x', '2'}));
    QTest::keyClick(&box, Qt::Key_Home); // no character: not reported, still moves the cursor
    QCOMPARE(box.cursorPosition(), 0);
    QCOMPARE(seen.size(), 3);
}

void TestForms::textBoxFiltersInputMethodText()
{
    forms::TextBox box;
    box.onKeyPress = [](int &code) {
        if (code < '0' || code > '9')
            code = 0;
    };
    auto commit = [&](const QString &text) {
        QInputMethodEvent event;
        event.setCommitString(text);
        QApplication::sendEvent(&box, &event);
    };
    commit(QStringLiteral("12"));
    QCOMPARE(box.text(), QStringLiteral("12"));
    commit(QStringLiteral("3喝"));
    commit(QStringLiteral("１"));
    QCOMPARE(box.text(), QStringLiteral("12"));
}

void TestForms::textBoxLostFocusOnlyForControlsOfTheProgram_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("lost");
    QTest::newRow("tab") << int(Qt::TabFocusReason) << true;
    QTest::newRow("shift+tab") << int(Qt::BacktabFocusReason) << true;
    QTest::newRow("mouse") << int(Qt::MouseFocusReason) << true;
    QTest::newRow("by program") << int(Qt::OtherFocusReason) << true;
    QTest::newRow("context menu") << int(Qt::PopupFocusReason) << false;
    QTest::newRow("other window active") << int(Qt::ActiveWindowFocusReason) << false;
}

void TestForms::textBoxLostFocusOnlyForControlsOfTheProgram()
{
    QFETCH(int, reason);
    QFETCH(bool, lost);
    forms::TextBox box;
    QSignalSpy spy(&box, &forms::TextBox::LostFocus);
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(&box, &out);
    QCOMPARE(spy.count(), lost ? 1 : 0);
}

void TestForms::textBoxDisabledUnderFocusIsNotLeft()
{
    QWidget window;
    auto *box = new forms::TextBox(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    QVERIFY(box->hasFocus());
    QSignalSpy spy(box, &forms::TextBox::LostFocus);
    box->setEnabled(false); // the focus moves on, but the user did not leave the box
    QVERIFY(!box->hasFocus());
    QCOMPARE(spy.count(), 0);
}

void TestForms::buttonCaptionWrapsAtBlanks()
{
    const QString caption = QStringLiteral("   一键保存个人时间     （无法在计时时使用）");
    const QFontMetrics metrics{QFont()};
    const int width = std::max(metrics.horizontalAdvance(QStringLiteral("一键保存个人时间")),
                               metrics.horizontalAdvance(QStringLiteral("（无法在计时时使用）"))) + 2;
    QCOMPARE(forms::CommandButton::wrapAtBlanks(caption, metrics, width),
             QStringLiteral("一键保存个人时间\n（无法在计时时使用）"));
    // A caption that fits keeps its blanks.
    QCOMPARE(forms::CommandButton::wrapAtBlanks(QStringLiteral(" 返回 "), metrics, 500), QStringLiteral(" 返回 "));
    // The button's own caption is never changed by the wrapping.
    forms::CommandButton button;
    button.setText(caption);
    button.resize(width, 60);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QCOMPARE(button.text(), caption);
}

void TestForms::builderStacksAndOrdersControls()
{
    const FormDef def{
        .name = "FormT",
        .caption = "T",
        .clientWidth = 3000,
        .clientHeight = 3000,
        .controls = {
            {.kind = Kind::Label, .name = "LabelA", .caption = "a", .width = 1500, .height = 300, .tabIndex = 0},
            {.kind = Kind::TextBox, .name = "BoxB", .caption = "0", .top = 300, .width = 1500, .height = 300,
             .tabIndex = 2},
            {.kind = Kind::Timer, .name = "TimerC", .interval = 1000},
            {.kind = Kind::CheckBox, .name = "CheckD", .top = 600, .width = 135, .height = 180, .tabIndex = 1},
            {.kind = Kind::TextBox, .name = "BoxE", .caption = "0", .top = 900, .width = 1500, .height = 300,
             .tabIndex = 3},
        }};
    QWidget form;
    forms::buildForm(&form, def);
    QCOMPARE(form.objectName(), QStringLiteral("FormT"));
    QCOMPARE(form.size(), QSize(200, 200));
    // Children in stacking order, bottom first, as listed.
    QStringList widgets;
    for (QObject *o : form.children())
        if (o->isWidgetType())
            widgets << o->objectName();
    QCOMPARE(widgets, (QStringList{"LabelA", "BoxB", "CheckD", "BoxE"}));
    QCOMPARE(form.findChild<QLabel *>("LabelA")->focusPolicy(), Qt::NoFocus);
    auto *t = form.findChild<forms::Timer *>("TimerC");
    QVERIFY(t && !t->Enabled());
    QCOMPARE(t->interval(), 1000);
    // Tab order by index: CheckD (1), BoxB (2), BoxE (3).
    QWidget *check = form.findChild<QWidget *>("CheckD");
    QCOMPARE(check->nextInFocusChain(), form.findChild<QWidget *>("BoxB"));
    QCOMPARE(check->nextInFocusChain()->nextInFocusChain(), form.findChild<QWidget *>("BoxE"));
    QCOMPARE(form.findChild<QWidget *>("BoxB")->geometry(), QRect(0, 20, 100, 20));
}

void TestForms::opaqueLabelWithoutColourUsesDefault()
{
    const FormDef def{.name = "FormW",
                      .clientWidth = 1500,
                      .clientHeight = 1500,
                      .backColor = forms::Rgb{255, 255, 255},
                      .controls = {{.kind = Kind::Label, .name = "Label1", .caption = "x", .width = 1500,
                                    .height = 300, .opaque = true}}};
    QWidget form;
    forms::buildForm(&form, def);
    auto *label = form.findChild<QLabel *>("Label1");
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 255, 255));
}

void TestForms::lineCoversItsEndsAndLetsClicksThrough()
{
    QWidget parent;
    forms::Line line(&parent);
    line.setEnds(QPoint(472, 424), QPoint(208, 424));
    QCOMPARE(line.geometry(), QRect(208, 424, 265, 1));
    QVERIFY(line.testAttribute(Qt::WA_TransparentForMouseEvents));
    line.setEnds(QPoint(208, 424), QPoint(208, 464));
    QCOMPARE(line.geometry(), QRect(208, 424, 1, 41));
}

void TestForms::formLoadsOnceAndShowReturnsWhenHidden()
{
    QWidget owner;
    int made = 0;
    forms::Lazy<CountingForm> lazy([&] {
        ++made;
        return new CountingForm(smallForm(), &owner);
    });
    QVERIFY(!lazy.loaded());
    for (int round = 0; round < 2; ++round) {
        bool wasModal = false;
        whenModal([&](QWidget *w) {
            wasModal = w->objectName() == QLatin1String("FormX") && w->isModal();
            static_cast<forms::Form *>(w)->Hide();
        });
        lazy->Show(); // returns once hidden
        QVERIFY(wasModal);
        QVERIFY(!lazy->isVisible());
    }
    QCOMPARE(made, 1);
    QCOMPARE(lazy->loads, 1);
    QVERIFY(lazy.loaded());
    QVERIFY(lazy->windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestForms::formIgnoresEscapeAndCloseRequests()
{
    QWidget owner;
    CountingForm form(smallForm(), &owner);
    bool stillOpen = false;
    whenModal([&](QWidget *w) {
        QTest::keyClick(w, Qt::Key_Escape);
        w->close();
        stillOpen = w->isVisible();
        static_cast<forms::Form *>(w)->Hide();
    });
    form.Show();
    QVERIFY(stillOpen);
}

void TestForms::formCentresOnScreenWhenAsked()
{
    QWidget owner;
    owner.setGeometry(10, 10, 100, 100);
    owner.show();
    CountingForm form(smallForm(FormDef::Position::CenterScreen), &owner);
    QPoint centre;
    whenModal([&](QWidget *w) {
        centre = w->geometry().center();
        static_cast<forms::Form *>(w)->Hide();
    });
    form.Show();
    const QPoint screenCentre = owner.screen()->availableGeometry().center();
    QVERIFY((centre - screenCentre).manhattanLength() <= 2);
}

void TestForms::formCentresOverItsOwnerAndStaysOnScreen()
{
    QWidget owner;
    owner.setGeometry(300, 200, 400, 300);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    CountingForm form(smallForm(), &owner);
    QRect shown;
    auto record = [&] {
        whenModal([&](QWidget *w) {
            shown = w->geometry();
            static_cast<forms::Form *>(w)->Hide();
        });
        form.Show();
    };
    record();
    QCOMPARE(shown.center(), owner.geometry().center());
    // An owner hanging over the screen's edge: the window stays wholly visible.
    const QRect screen = owner.screen()->availableGeometry();
    owner.move(screen.left() - 350, screen.top() - 250);
    QTRY_COMPARE(owner.pos(), QPoint(screen.left() - 350, screen.top() - 250));
    record();
    QVERIFY2(screen.contains(shown), qPrintable(QStringLiteral("%1,%2").arg(shown.x()).arg(shown.y())));
}

void TestForms::messageBoxTitles()
{
    SeenBox plain, titled;
    answerMessageBox(&plain);
    forms::MsgBox(nullptr, QStringLiteral("您好"));
    answerMessageBox(&titled);
    forms::MsgBox(nullptr, QStringLiteral("不行"), QMessageBox::Warning, QStringLiteral("出错"));
    QCOMPARE(plain.title, QStringLiteral("Quorvane"));
    QCOMPARE(plain.text, QStringLiteral("您好"));
    QCOMPARE(plain.icon, QMessageBox::NoIcon);
    QCOMPARE(titled.title, QStringLiteral("出错"));
    QCOMPARE(titled.icon, QMessageBox::Warning);
}

void TestForms::systemBellPlaysTheSoundThemeBell()
{
#ifdef Q_OS_LINUX
    // With the sound card replaced by a file, the bell must come out as audio: a bell that
    // silently failed to load or play the sound theme's sound would leave the user unaware.
    QTemporaryDir home;
    const QString samples = home.filePath(QStringLiteral("bell.raw"));
    QFile config(home.filePath(QStringLiteral(".asoundrc")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("pcm.!default { type file slave.pcm \"null\" file \"%1\" format \"raw\" }\n")
                     .arg(samples)
                     .toUtf8());
    config.close();
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("CANBERRA_DRIVER", "alsa");
    // The sound library is loaded by the first bell (this is the first in this run), not
    // at start-up.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libcanberra"));
    forms::systemBell();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(samples).size() > 4096, 5000);
    QFile audio(samples);
    QVERIFY(audio.open(QIODevice::ReadOnly));
    const QByteArray data = audio.readAll();
    QVERIFY(data.count('\0') < data.size()); // not silence
#else
    QSKIP("the sound theme's bell is a Linux desktop's");
#endif
}

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
