// The five windows as the user sees them: each built window is compared with the
// expectation written down by hand for it (ui/expected/form1.txt ... form5.txt), never
// with the definition tables it is built from.
#include "alerts/beeper.h"
#include "alerts/reminderwindow.h"
#include "alerts/tipswindow.h"
#include "app/mainform.h"
#include "expectedwindow.h"
#include "runtime/formbuilder.h"
#include "runtime/line.h"
#include "runtime/picture.h"
#include "testmain.h"
#include "testsupport.h"
#include "ui/windowdefs.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace testsupport;

namespace {

double luminance(const QColor &c)
{
    auto lin = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

QColor meanColour(const QImage &image, const QRect &r)
{
    double red = 0, green = 0, blue = 0;
    const QRect area = r & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.redF();
            green += c.greenF();
            blue += c.blueF();
        }
    const double n = double(area.width()) * area.height();
    return QColor::fromRgbF(float(red / n), float(green / n), float(blue / n));
}

/// While it lives, the desktop's colours are ones no window asks for itself, so that a
/// control in the desktop's default colour cannot pass for one in black or white.
struct UnusualDesktopColours {
    UnusualDesktopColours()
        : before(QApplication::palette())
    {
        QPalette unusual = before;
        const std::pair<QPalette::ColorRole, QColor> colours[] = {
            {QPalette::WindowText, QColor(0x23, 0x45, 0x67)}, {QPalette::Window, QColor(0xed, 0xcb, 0xa9)},
            {QPalette::Text, QColor(0x12, 0x34, 0x56)},       {QPalette::Base, QColor(0xfe, 0xdc, 0xba)},
            {QPalette::ButtonText, QColor(0x34, 0x56, 0x78)}, {QPalette::Button, QColor(0xdc, 0xba, 0x98)}};
        for (const auto &[role, colour] : colours)
            unusual.setColor(role, colour);
        QApplication::setPalette(unusual);
    }
    ~UnusualDesktopColours() { QApplication::setPalette(before); }
    QPalette before;
};

/// The five windows as the program builds them, over a main window loaded from a
/// settings file of nine zeros; the reminder windows are not loaded yet, so their
/// message labels are as designed (empty).
struct Windows {
    Windows()
        : p("0,0,0,0,0,0,0,0,0\r\n")
        , beeper(box(p.form.get(), "Text1"), timer(p.form.get(), "Timer4"), p.fake.hooks)
        , tips(p.form.get())
    {
        for (int slot = 0; slot < 3; ++slot)
            reminders[size_t(slot)] =
                std::make_unique<alerts::ReminderWindow>(alerts::Slot(slot), p.form.get(), beeper, p.fake.hooks);
    }
    QWidget *window(const QString &name)
    {
        if (name == QLatin1String("Form1"))
            return p.form.get();
        if (name == QLatin1String("Form5"))
            return &tips;
        return reminders[size_t(name.back().digitValue() - 2)].get();
    }
    UnusualDesktopColours colours; // first: in place before any window is built
    Fixture p;
    alerts::Beeper beeper;
    alerts::TipsWindow tips;
    std::array<std::unique_ptr<alerts::ReminderWindow>, 3> reminders;
};

/// The installed face that draws a font of the windows: "宋体" is SimSun where installed,
/// otherwise the first installed of its substitutes, in the design's order.
QString drawnFamily(const QString &family)
{
    if (family != QStringLiteral("宋体"))
        return family;
    for (const char *face :
         {"SimSun", "Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Micro Hei"})
        if (QFontDatabase::hasFamily(QLatin1String(face)))
            return QLatin1String(face);
    return QString();
}

/// The picture that an image control of window shows, as the window's definition names it.
QImage definedPicture(const QWidget *window, const QString &control)
{
    for (const runtime::FormDef *def : {&ui::Form1(), &ui::Form2(), &ui::Form3(), &ui::Form4(), &ui::Form5()}) {
        if (window->objectName() != QLatin1String(def->name))
            continue;
        for (const runtime::ControlDef &c : def->controls)
            if (control == QLatin1String(c.name))
                return QImageReader(QString::fromUtf8(c.picture)).read();
    }
    return QImage();
}

bool hasKind(QObject *o, const QString &kind)
{
    if (kind == QLatin1String("label"))
        return qobject_cast<QLabel *>(o);
    if (kind == QLatin1String("image")) {
        return qobject_cast<runtime::Picture *>(o);
    }
    if (kind == QLatin1String("textbox"))
        return qobject_cast<QLineEdit *>(o);
    if (kind == QLatin1String("checkbox"))
        return qobject_cast<QCheckBox *>(o);
    if (kind == QLatin1String("button"))
        return qobject_cast<QPushButton *>(o);
    if (kind == QLatin1String("line"))
        return qobject_cast<runtime::Line *>(o);
    if (kind == QLatin1String("timer"))
        return qobject_cast<runtime::Timer *>(o);
    return false;
}

QString captionOf(QObject *o)
{
    if (auto *l = qobject_cast<QLabel *>(o))
        return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(o))
        return b->text();
    if (auto *e = qobject_cast<QLineEdit *>(o))
        return e->text();
    return QString();
}

/// The palette roles of a control's text and background, by its kind.
std::pair<QPalette::ColorRole, QPalette::ColorRole> colourRoles(const QString &kind)
{
    if (kind == QLatin1String("textbox"))
        return {QPalette::Text, QPalette::Base};
    if (kind == QLatin1String("button"))
        return {QPalette::ButtonText, QPalette::Button};
    return {QPalette::WindowText, QPalette::Window};
}

void compareColour(QWidget *w, QPalette::ColorRole role, const ExpectedColour &expected, const char *what)
{
    if (!expected.given)
        return;
    const QColor wanted = expected.isDefault ? QApplication::palette(w).color(QPalette::Active, role) : expected.rgb;
    QVERIFY2(w->palette().color(QPalette::Active, role) == wanted,
             qPrintable(QStringLiteral("%1 %2: %3 instead of %4")
                            .arg(w->objectName(), QLatin1String(what),
                                 w->palette().color(QPalette::Active, role).name(), wanted.name())));
}

void compareControl(QWidget *window, const ExpectedControl &e)
{
    const QString where = window->objectName() + QLatin1Char('.') + e.name;
    QObject *o = window->findChild<QObject *>(e.name, Qt::FindDirectChildrenOnly);
    QVERIFY2(o, qPrintable(where + QStringLiteral(" is missing")));
    QVERIFY2(hasKind(o, e.kind), qPrintable(where + QStringLiteral(" is no ") + e.kind));
    if (e.kind == QLatin1String("timer")) {
        QCOMPARE(static_cast<runtime::Timer *>(o)->interval(), e.interval);
        return;
    }
    auto *w = static_cast<QWidget *>(o);
    if (e.kind == QLatin1String("line")) {
        // The line covers exactly the box between its ends, both ends included.
        QCOMPARE(w->geometry(), QRect(e.from, e.to).normalized());
    } else {
        QVERIFY2(w->geometry() == e.geometry, qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                                             .arg(where)
                                                             .arg(w->x())
                                                             .arg(w->y())
                                                             .arg(w->width())
                                                             .arg(w->height())));
    }
    if (e.kind == QLatin1String("image")) {
        // Its own picture at its own size, not stretched: the far corner shows the picture's.
        const QImage picture = definedPicture(window, e.name);
        QCOMPARE(picture.size(), e.picture);
        const QPoint corner(picture.width() - 1, picture.height() - 1);
        QCOMPARE(QColor(w->grab().toImage().pixel(corner)), QColor(picture.pixel(corner)));
        return;
    }
    if (e.kind != QLatin1String("line"))
        QVERIFY2(captionOf(w) == e.caption, qPrintable(where + QStringLiteral(" reads \"") + captionOf(w) + '"'));
    if (e.defaultFont) {
        QVERIFY2(!w->testAttribute(Qt::WA_SetFont), qPrintable(where + QStringLiteral(" has a font of its own")));
    } else {
        QVERIFY2(QFontInfo(w->font()).family().toLower() == drawnFamily(e.family).toLower(),
                 qPrintable(where + QStringLiteral(": ") + QFontInfo(w->font()).family()));
        QVERIFY2(w->font().pointSizeF() == e.points,
                 qPrintable(where + QStringLiteral(": %1 pt").arg(w->font().pointSizeF())));
        QVERIFY2(w->font().bold() == e.bold, qPrintable(where + QStringLiteral(" bold: %1").arg(w->font().bold())));
    }
    const auto [foreRole, backRole] = colourRoles(e.kind);
    compareColour(w, foreRole, e.fore, "text");
    compareColour(w, backRole, e.back, "background");
    if (e.kind == QLatin1String("label"))
        QVERIFY2(w->autoFillBackground() == !e.transparent,
                 qPrintable(where + (e.transparent ? QStringLiteral(" hides") : QStringLiteral(" shows"))
                            + QStringLiteral(" what lies beneath")));
}

void compareWindow(QWidget *window, const ExpectedWindow &e)
{
    QVERIFY2(e.error.isEmpty(), qPrintable(e.error));
    QCOMPARE(window->objectName(), e.name);
    QCOMPARE(window->windowTitle(), e.title);
    QCOMPARE(window->size(), e.size);
    QCOMPARE(window->windowFlags().testFlag(Qt::FramelessWindowHint), e.frameless);
    if (e.frameless) {
        QCOMPARE(window->minimumSize(), e.size); // cannot be resized
        QCOMPARE(window->maximumSize(), e.size);
    }
    QVERIFY(e.background.given);
    if (!e.background.isDefault)
        QVERIFY(window->autoFillBackground());
    compareColour(window, QPalette::Window, e.background, "window background");

    for (const ExpectedControl &c : e.controls) {
        compareControl(window, c);
        if (QTest::currentTestFailed())
            return;
    }

    // Stacking order: the window's controls, bottom first, are exactly the expected ones.
    // (The window's own secondary windows are its children too, but no controls.)
    QStringList stacked, expectedStack, timers, expectedTimers;
    for (QObject *o : window->children()) {
        if (o->isWidgetType() && !static_cast<QWidget *>(o)->isWindow()
            && !o->objectName().startsWith(QLatin1String("qt_")))
            stacked << o->objectName();
        else if (qobject_cast<runtime::Timer *>(o))
            timers << o->objectName();
    }
    for (auto c = e.controls.crbegin(); c != e.controls.crend(); ++c)
        (c->kind == QLatin1String("timer") ? expectedTimers : expectedStack) << c->name;
    QCOMPARE(stacked, expectedStack);
    timers.sort();
    expectedTimers.sort();
    QCOMPARE(timers, expectedTimers);

    // Only the controls in the tab order take the focus, and Tab visits them in order.
    QStringList focusable, visited;
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!w->isWindow() && w->focusPolicy() != Qt::NoFocus)
            focusable << w->objectName();
    QStringList sortedOrder = e.tabOrder;
    focusable.sort();
    sortedOrder.sort();
    QCOMPARE(focusable, sortedOrder);
    QWidget *first = window->findChild<QWidget *>(e.tabOrder.value(0), Qt::FindDirectChildrenOnly);
    QVERIFY(first);
    QWidget *w = first;
    do {
        if (w->parentWidget() == window && (w->focusPolicy() & Qt::TabFocus))
            visited << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && visited.size() <= e.tabOrder.size());
    QCOMPARE(visited, e.tabOrder);
}

} // namespace

class TestUi : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowLooksAsExpected_data();
    void windowLooksAsExpected();
    void mainWindowControlsStayPutOnResize();
    void firstFocusGoesToCheck1();
    void backgroundPicture_data();
    void backgroundPicture();
    void backgroundRepaintsShowThePicture();
    void labelsStayReadableOverThePicture();
    void songFontHasTheGlyphs();
    void bannerFitsAndIsPlacedByItsBlanks_data();
    void bannerFitsAndIsPlacedByItsBlanks();
};

void TestUi::windowLooksAsExpected_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Form1", "Form2", "Form3", "Form4", "Form5"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestUi::windowLooksAsExpected()
{
    QFETCH(QString, name);
    Windows windows;
    compareWindow(windows.window(name), expectedWindow(name));
}

void TestUi::mainWindowControlsStayPutOnResize()
{
    Fixture p;
    MainForm &form = *p.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QRect> before;
    for (QWidget *w : form.findChildren<QWidget *>())
        before << w->geometry();
    form.resize(1200, 800);
    QTRY_COMPARE(form.size(), QSize(1200, 800));
    QList<QRect> after;
    for (QWidget *w : form.findChildren<QWidget *>())
        after << w->geometry();
    QCOMPARE(after, before);
}

void TestUi::firstFocusGoesToCheck1()
{
    Fixture p;
    MainForm &form = *p.form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(check(&form, "Check1")));
}

void TestUi::backgroundPicture_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::newRow("as designed") << QSize(893, 488);
    QTest::newRow("grown past the picture") << QSize(1200, 800);
}

void TestUi::backgroundPicture()
{
    // The picture built into the program, a JPEG of 1079 x 589 pixels, shown at its natural
    // size from the window's top-left corner, never stretched, and the window's own
    // background where the picture ends, also after the window has been made larger.
    QFETCH(QSize, windowSize);
    QImageReader reader(QStringLiteral(":/background.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(1079, 589));
    const QImage picture = reader.read();
    Fixture p;
    MainForm &form = *p.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(windowSize);
    QTRY_COMPARE(form.size(), windowSize);
    const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), windowSize);
    // Points where no control lies over the picture, up to its right and bottom edges.
    for (const QPoint &pt :
         {QPoint(2, 2), QPoint(30, 300), QPoint(500, 20), QPoint(640, 480), QPoint(850, 10), QPoint(890, 485)})
        QCOMPARE(QColor(shown.pixel(pt)), QColor(picture.pixel(pt)));
    if (windowSize.width() > 1079) {
        for (const QPoint &pt : {QPoint(1078, 588), QPoint(1000, 580), QPoint(1070, 100)})
            QCOMPARE(QColor(shown.pixel(pt)), QColor(picture.pixel(pt)));
        const QColor window = form.palette().color(QPalette::Window);
        for (const QPoint &pt : {QPoint(1079, 10), QPoint(1199, 799), QPoint(10, 589), QPoint(1100, 700)})
            QCOMPARE(QColor(shown.pixel(pt)), window);
    }
}

void TestUi::backgroundRepaintsShowThePicture()
{
    // Once the window has been drawn, repainting any part of it, under a control that
    // repaints on its own or not, still shows the picture itself there.
    const QImage source = QImageReader(QStringLiteral(":/background.jpg")).read().convertToFormat(QImage::Format_RGB32);
    Fixture p;
    MainForm &form = *p.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *picture = form.findChild<runtime::Picture *>();
    QVERIFY(picture);
    for (const char *name : {"Label1", "Label6", "s2", "h3", "Check2", "Command1"}) {
        const QWidget *control = form.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(control, name);
        const QRect r(picture->mapFrom(&form, control->pos()), control->size());
        const QImage out = picture->grab(r).toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY2(out == source.copy(r), name);
    }
}

void TestUi::labelsStayReadableOverThePicture()
{
    // Every label of the main window that shows the picture through stays readable on it.
    const QImage picture(QStringLiteral(":/background.jpg"));
    QVERIFY(!picture.isNull());
    Fixture p;
    int checked = 0;
    for (QLabel *label : p.form->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
        if (label->autoFillBackground() || !label->pixmap().isNull())
            continue;
        const QColor text = label->palette().color(QPalette::Active, QPalette::WindowText);
        const QColor back = meanColour(picture, label->geometry());
        const double l1 = luminance(text), l2 = luminance(back);
        const double ratio = (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
        // Large text needs 3:1, smaller text 4.5:1.
        const double needed = label->font().pointSizeF() >= 18 ? 3.0 : 4.5;
        QVERIFY2(ratio >= needed, qPrintable(QStringLiteral("%1: %2").arg(label->objectName()).arg(ratio)));
        ++checked;
    }
    QCOMPARE(checked, 7); // the three topics, the start label, the three column captions
}

void TestUi::songFontHasTheGlyphs()
{
    // "宋体" must land on a face that really draws the captions, not on empty boxes.
    const QFont font = runtime::fontFor({21.75, false});
    const QFontMetrics metrics(font);
    for (const QString &text :
         {QStringLiteral("喝水远眺厕所确定选择并开始计时"), QStringLiteral("时分秒双击此处变为关")})
        for (QChar ch : text)
            QVERIFY2(metrics.inFontUcs4(ch.unicode()), qPrintable(QString(ch)));
}

void TestUi::bannerFitsAndIsPlacedByItsBlanks_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Form2", "Form3", "Form4"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestUi::bannerFitsAndIsPlacedByItsBlanks()
{
    // The 36 pt "到时啦" must fit its label's height whole, and its leading blanks (half an
    // em each) must put it where the window was designed to show it.
    QFETCH(QString, name);
    const ExpectedWindow expected = expectedWindow(name);
    QVERIFY2(expected.error.isEmpty(), qPrintable(expected.error));
    const auto banner = std::find_if(expected.controls.begin(), expected.controls.end(), [](const ExpectedControl &c) {
        return c.caption.trimmed() == QStringLiteral("到时啦");
    });
    QVERIFY(banner != expected.controls.end());
    const qsizetype blanks = banner->caption.indexOf(QStringLiteral("到"));
    Windows windows;
    QLabel *label = windows.window(name)->findChild<QLabel *>(banner->name);
    QVERIFY(label);
    const QImage image = label->grab().toImage();
    const QColor back = label->palette().color(QPalette::Window);
    int left = image.width(), bottom = -1, top = image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 96 && image.pixelColor(x, y) != back) {
                left = std::min(left, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    QVERIFY2(bottom >= 0, "no text drawn");
    QVERIFY2(top > 0 && bottom < image.height() - 1, qPrintable(QStringLiteral("rows %1..%2").arg(top).arg(bottom)));
    const double em = QFontInfo(label->font()).pixelSize();
    QVERIFY2(std::abs(left - blanks * em / 2) < em / 2, qPrintable(QString::number(left)));
}

QUORVANE_TEST_CLASS(TestUi)
#include "tst_ui.moc"
