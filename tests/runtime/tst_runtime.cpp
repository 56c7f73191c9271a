// The small forms layer: what it adds to Qt's widgets.
#include "runtime/clicklabel.h"
#include "runtime/commandbutton.h"
#include "runtime/form.h"
#include "runtime/formbuilder.h"
#include "runtime/line.h"
#include "runtime/panelcachestyle.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"
#include "testmain.h"
#include "testsupport.h"

#include <QFile>
#include <QInputMethodEvent>
#include <QPainter>
#include <QProperty>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTemporaryFile>

using namespace testsupport;
using runtime::ControlDef;
using runtime::FormDef;
using runtime::Kind;

namespace {

class CountingForm : public runtime::Form
{
public:
    using runtime::Form::Form;
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
                   .controls = {{.kind = Kind::CommandButton,
                                 .name = "Command1",
                                 .caption = "OK",
                                 .left = 150,
                                 .top = 150,
                                 .width = 1500,
                                 .height = 450,
                                 .tabIndex = 0}}};
}

} // namespace

class TestRuntime : public QObject
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
    void textBoxPanelsLookTheSameFromTheStyle_data();
    void textBoxPanelsLookTheSameFromTheStyle();
};

void TestRuntime::twipsRoundToNearestPixel_data()
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

void TestRuntime::twipsRoundToNearestPixel()
{
    QFETCH(int, twips);
    QFETCH(int, pixels);
    QCOMPARE(runtime::toPixels(twips), pixels);
}

void TestRuntime::timerEnabledFollowsItsRules()
{
    runtime::Timer timer(nullptr, 1000);
    QVERIFY(!timer.Enabled()); // off from creation
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    // Every start and every stop of the interval shows as a change of the timer's active
    // state, so a restart shows without waiting for time to pass.
    int starts = 0, stops = 0;
    const QPropertyNotifier watch = timer.bindableActive().addNotifier([&] { ++(timer.isActive() ? starts : stops); });
    timer.setEnabled(true); // false -> true: a fresh interval
    QVERIFY(timer.Enabled());
    QCOMPARE(starts, 1);
    QVERIFY(timer.remainingTime() > 900);
    timer.setEnabled(true); // true -> true: the running interval goes on
    QCOMPARE(starts, 1);
    QCOMPARE(stops, 0);
    timer.setEnabled(false);
    QVERIFY(!timer.Enabled());
    QCOMPARE(stops, 1);
    timer.setEnabled(true); // false -> true again: a fresh interval
    QCOMPARE(starts, 2);
    QVERIFY(timer.remainingTime() > 900);
}

void TestRuntime::labelReportsClicksWithoutTakingFocus()
{
    QWidget window;
    auto *edit = new QLineEdit(&window);
    auto *label = new runtime::ClickLabel(&window);
    label->setGeometry(0, 40, 100, 30);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QSignalSpy clicks(label, &runtime::ClickLabel::Click);
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

void TestRuntime::labelDoubleClickIsNotASecondClick()
{
    QWidget window;
    window.resize(200, 100);
    auto *label = new runtime::ClickLabel(&window);
    label->setGeometry(0, 0, 200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(label, &runtime::ClickLabel::Click);
    QSignalSpy doubles(label, &runtime::ClickLabel::DblClick);
    // As the desktop delivers it: press, release, press, double click, release.
    QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(doubles.count(), 1);
    QCOMPARE(clicks.count(), 1);
    // A click after the double click counts again.
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50), 1000);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(doubles.count(), 1);
}

void TestRuntime::textBoxReportsCharacterCodes_data()
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

void TestRuntime::textBoxReportsCharacterCodes()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, code);
    const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
    QCOMPARE(runtime::TextBox::characterCode(&event), code);
}

void TestRuntime::textBoxDropsRefusedKeysOnly()
{
    runtime::TextBox box;
    QList<int> seen;
    QObject::connect(&box, &runtime::TextBox::KeyPress, &box, [&](int &code) {
        seen << code;
        if (code == 'x')
            code = 0;
    });
    box.show();
    QTest::keyClicks(&box, "1x2");
    QCOMPARE(box.text(), QStringLiteral("12"));
    QCOMPARE(seen, (QList<int>{'1', 'x', '2'}));
    QTest::keyClick(&box, Qt::Key_Home); // no character: not reported, still moves the cursor
    QCOMPARE(box.cursorPosition(), 0);
    QCOMPARE(seen.size(), 3);
}

void TestRuntime::textBoxFiltersInputMethodText()
{
    runtime::TextBox box;
    QObject::connect(&box, &runtime::TextBox::KeyPress, &box, [](int &code) {
        if (code < '0' || code > '9')
            code = 0;
    });
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

void TestRuntime::textBoxLostFocusOnlyForControlsOfTheProgram_data()
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

void TestRuntime::textBoxLostFocusOnlyForControlsOfTheProgram()
{
    QFETCH(int, reason);
    QFETCH(bool, lost);
    runtime::TextBox box;
    QSignalSpy spy(&box, &runtime::TextBox::LostFocus);
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(&box, &out);
    QCOMPARE(spy.count(), lost ? 1 : 0);
}

void TestRuntime::textBoxDisabledUnderFocusIsNotLeft()
{
    QWidget window;
    auto *box = new runtime::TextBox(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    QVERIFY(box->hasFocus());
    QSignalSpy spy(box, &runtime::TextBox::LostFocus);
    box->setEnabled(false); // the focus moves on, but the user did not leave the box
    QVERIFY(!box->hasFocus());
    QCOMPARE(spy.count(), 0);
}

void TestRuntime::buttonCaptionWrapsAtBlanks()
{
    const QString caption = QStringLiteral("   一键保存个人时间     （无法在计时时使用）");
    const QFontMetrics metrics{QFont()};
    const int width = std::max(metrics.horizontalAdvance(QStringLiteral("一键保存个人时间")),
                               metrics.horizontalAdvance(QStringLiteral("（无法在计时时使用）")))
                      + 2;
    QCOMPARE(runtime::CommandButton::wrapAtBlanks(caption, metrics, width),
             QStringLiteral("一键保存个人时间\n（无法在计时时使用）"));
    // A caption that fits keeps its blanks.
    QCOMPARE(runtime::CommandButton::wrapAtBlanks(QStringLiteral(" 返回 "), metrics, 500), QStringLiteral(" 返回 "));
    // The button's own caption is never changed by the wrapping.
    runtime::CommandButton button;
    button.setText(caption);
    button.resize(width, 60);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QCOMPARE(button.text(), caption);
}

void TestRuntime::builderStacksAndOrdersControls()
{
    const FormDef def{
        .name = "FormT",
        .caption = "T",
        .clientWidth = 3000,
        .clientHeight = 3000,
        .controls = {
            {.kind = Kind::Label, .name = "LabelA", .caption = "a", .width = 1500, .height = 300, .tabIndex = 0},
            {.kind = Kind::TextBox,
             .name = "BoxB",
             .caption = "0",
             .top = 300,
             .width = 1500,
             .height = 300,
             .tabIndex = 2},
            {.kind = Kind::Timer, .name = "TimerC", .interval = 1000},
            {.kind = Kind::CheckBox, .name = "CheckD", .top = 600, .width = 135, .height = 180, .tabIndex = 1},
            {.kind = Kind::TextBox,
             .name = "BoxE",
             .caption = "0",
             .top = 900,
             .width = 1500,
             .height = 300,
             .tabIndex = 3},
        }};
    QWidget form;
    runtime::buildForm(&form, def);
    QCOMPARE(form.objectName(), QStringLiteral("FormT"));
    QCOMPARE(form.size(), QSize(200, 200));
    // Children in stacking order, bottom first, as listed.
    QStringList widgets;
    for (QObject *o : form.children())
        if (o->isWidgetType())
            widgets << o->objectName();
    QCOMPARE(widgets, (QStringList{"LabelA", "BoxB", "CheckD", "BoxE"}));
    QCOMPARE(form.findChild<QLabel *>("LabelA")->focusPolicy(), Qt::NoFocus);
    auto *t = form.findChild<runtime::Timer *>("TimerC");
    QVERIFY(t && !t->Enabled());
    QCOMPARE(t->interval(), 1000);
    // Tab order by index: CheckD (1), BoxB (2), BoxE (3).
    QWidget *check = form.findChild<QWidget *>("CheckD");
    QCOMPARE(check->nextInFocusChain(), form.findChild<QWidget *>("BoxB"));
    QCOMPARE(check->nextInFocusChain()->nextInFocusChain(), form.findChild<QWidget *>("BoxE"));
    QCOMPARE(form.findChild<QWidget *>("BoxB")->geometry(), QRect(0, 20, 100, 20));
}

void TestRuntime::opaqueLabelWithoutColourUsesDefault()
{
    const FormDef def{
        .name = "FormW",
        .clientWidth = 1500,
        .clientHeight = 1500,
        .backColor = runtime::Rgb{255, 255, 255},
        .controls = {
            {.kind = Kind::Label, .name = "Label1", .caption = "x", .width = 1500, .height = 300, .opaque = true}}};
    QWidget form;
    runtime::buildForm(&form, def);
    auto *label = form.findChild<QLabel *>("Label1");
    QVERIFY(label->autoFillBackground());
    QCOMPARE(label->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(255, 255, 255));
}

void TestRuntime::lineCoversItsEndsAndLetsClicksThrough()
{
    QWidget parent;
    runtime::Line line(&parent);
    line.setEnds(QPoint(472, 424), QPoint(208, 424));
    QCOMPARE(line.geometry(), QRect(208, 424, 265, 1));
    QVERIFY(line.testAttribute(Qt::WA_TransparentForMouseEvents));
    line.setEnds(QPoint(208, 424), QPoint(208, 464));
    QCOMPARE(line.geometry(), QRect(208, 424, 1, 41));
}

void TestRuntime::formLoadsOnceAndShowReturnsWhenHidden()
{
    QWidget owner;
    int made = 0;
    runtime::Lazy<CountingForm> lazy([&] {
        ++made;
        return new CountingForm(smallForm(), &owner);
    });
    QCOMPARE(made, 0);
    QVERIFY(!owner.findChild<CountingForm *>());
    for (int round = 0; round < 2; ++round) {
        bool wasModal = false;
        whenModal([&](QWidget *w) {
            wasModal = w->objectName() == QLatin1String("FormX") && w->isModal();
            static_cast<runtime::Form *>(w)->Hide();
        });
        lazy->Show(); // returns once hidden
        QVERIFY(wasModal);
        QVERIFY(!lazy->isVisible());
    }
    QCOMPARE(made, 1);
    QCOMPARE(lazy->loads, 1);
    QCOMPARE(owner.findChildren<CountingForm *>().size(), 1);
    QVERIFY(lazy->windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestRuntime::formIgnoresEscapeAndCloseRequests()
{
    QWidget owner;
    CountingForm form(smallForm(), &owner);
    bool stillOpen = false;
    whenModal([&](QWidget *w) {
        QTest::keyClick(w, Qt::Key_Escape);
        w->close();
        stillOpen = w->isVisible();
        static_cast<runtime::Form *>(w)->Hide();
    });
    form.Show();
    QVERIFY(stillOpen);
}

void TestRuntime::formCentresOnScreenWhenAsked()
{
    QWidget owner;
    owner.setGeometry(10, 10, 100, 100);
    owner.show();
    CountingForm form(smallForm(FormDef::Position::CenterScreen), &owner);
    QPoint centre;
    whenModal([&](QWidget *w) {
        centre = w->geometry().center();
        static_cast<runtime::Form *>(w)->Hide();
    });
    form.Show();
    const QPoint screenCentre = owner.screen()->availableGeometry().center();
    QVERIFY((centre - screenCentre).manhattanLength() <= 2);
}

void TestRuntime::formCentresOverItsOwnerAndStaysOnScreen()
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
            static_cast<runtime::Form *>(w)->Hide();
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

void TestRuntime::messageBoxTitles()
{
    const runtime::Hooks hooks = runtime::desktopHooks(QStringLiteral("标题"), QStringLiteral("id"));
    SeenBox plain, titled;
    answerMessageBox(&plain);
    hooks.MsgBox(nullptr, QStringLiteral("您好"));
    answerMessageBox(&titled);
    hooks.MsgBox(nullptr, QStringLiteral("不行"), QMessageBox::Warning, QStringLiteral("出错"));
    QCOMPARE(plain.title, QStringLiteral("标题"));
    QCOMPARE(plain.text, QStringLiteral("您好"));
    QCOMPARE(plain.icon, QMessageBox::NoIcon);
    QCOMPARE(titled.title, QStringLiteral("出错"));
    QCOMPARE(titled.icon, QMessageBox::Warning);
}

void TestRuntime::textBoxPanelsLookTheSameFromTheStyle_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<bool>("ownColours"); // each box its own background colour, all of one size
    QTest::newRow("disabled") << false << 1.0 << 3 << false;
    QTest::newRow("enabled") << true << 1.0 << 3 << false;
    QTest::newRow("disabled, doubled") << false << 2.0 << 3 << false;
    QTest::newRow("more sizes than kept") << false << 1.0 << int(runtime::PanelCacheStyle::kKeptPanels) + 4 << false;
    QTest::newRow("colours of their own") << true << 1.0 << 4 << true;
}

void TestRuntime::textBoxPanelsLookTheSameFromTheStyle()
{
    // Boxes over a coloured gradient, drawn by the plain Fusion style and by the program's
    // style, which copies panels it drew before: the same pixels, give or take the
    // rounding of smoothed edges, the first time and the second.
    QFETCH(bool, enabled);
    QFETCH(qreal, scale);
    QFETCH(int, boxes);
    QFETCH(bool, ownColours);
    // One window per style, drawn twice.
    auto windowWith = [&](QStyle *style) {
        auto window = std::make_unique<QWidget>();
        window->setFixedSize(40 + 95 * boxes, 120);
        QPalette palette = window->palette();
        QLinearGradient gradient(0, 0, 300, 120);
        gradient.setColorAt(0, Qt::darkBlue);
        gradient.setColorAt(1, QColor(255, 160, 60));
        gradient.setSpread(QGradient::ReflectSpread);
        palette.setBrush(QPalette::Window, gradient);
        window->setPalette(palette);
        window->setAutoFillBackground(true);
        for (int i = 0; i < boxes; ++i) {
            auto *box = new runtime::TextBox(window.get());
            box->setStyle(style);
            box->setGeometry(10 + 95 * i, 20 + 10 * (i % 3), ownColours ? 81 : 81 - i, 57);
            if (ownColours) {
                QPalette own = box->palette();
                own.setColor(QPalette::Base, QColor::fromHsv(90 * i, 200, 255));
                box->setPalette(own);
            }
            box->setText(QString::number(58 - i));
            box->setEnabled(enabled);
        }
        return window;
    };
    auto drawn = [&](QWidget &window) {
        QImage image(window.size() * scale, QImage::Format_RGB32);
        image.setDevicePixelRatio(scale);
        window.render(&image);
        return image;
    };
    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    runtime::PanelCacheStyle *cached = new runtime::PanelCacheStyle; // takes the Fusion style below
    cached->setBaseStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const std::unique_ptr<QStyle> owned(cached);
    const QImage plain = drawn(*windowWith(fusion.get()));
    const std::unique_ptr<QWidget> window = windowWith(cached);
    for (int time = 0; time < 2; ++time) {
        const QImage copied = drawn(*window);
        QCOMPARE(copied.size(), plain.size());
        int worst = 0;
        for (int y = 0; y < plain.height(); ++y) {
            for (int x = 0; x < plain.width(); ++x) {
                const QRgb a = plain.pixel(x, y), b = copied.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        }
        QVERIFY2(worst <= 2, qPrintable(QStringLiteral("differs by %1 at the %2. drawing").arg(worst).arg(time + 1)));
    }
}

QUORVANE_TEST_CLASS(TestRuntime)
#include "tst_runtime.moc"
