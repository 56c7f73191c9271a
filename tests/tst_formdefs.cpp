// The window definitions and the windows built from them must not drift apart.
#include "app/mainform.h"
#include "forms/clicklabel.h"
#include "forms/commandbutton.h"
#include "forms/form.h"
#include "forms/formbuilder.h"
#include "forms/line.h"
#include "forms/picture.h"
#include "settings/savedintervals.h"
#include "testsupport.h"
#include "ui/windows.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QSet>

#include <cmath>

using namespace testsupport;
using forms::ControlDef;
using forms::FormDef;
using forms::Kind;

Q_DECLARE_METATYPE(const FormDef *)

namespace {

bool hasKind(QObject *o, Kind kind)
{
    switch (kind) {
    case Kind::Label:
        return qobject_cast<forms::ClickLabel *>(o);
    case Kind::TextBox:
        return qobject_cast<forms::TextBox *>(o);
    case Kind::CheckBox:
        return qobject_cast<QCheckBox *>(o);
    case Kind::CommandButton:
        return qobject_cast<forms::CommandButton *>(o);
    case Kind::Timer:
        return qobject_cast<forms::Timer *>(o);
    case Kind::Line:
        return qobject_cast<forms::Line *>(o);
    case Kind::Image: {
        auto *p = qobject_cast<forms::Picture *>(o);
        return p && !p->pictureSize().isEmpty();
    }
    }
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

double luminance(const QColor &c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
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

/// The face that shows "宋体": SimSun where installed, otherwise the first installed of its
/// substitutes, in the design's order.
QString songFace()
{
    for (const char *face : {"SimSun", "Noto Serif CJK SC", "AR PL UMing CN", "Noto Sans CJK SC", "WenQuanYi Micro Hei"})
        if (QFontDatabase::hasFamily(QLatin1String(face)))
            return QLatin1String(face);
    return QString();
}

/// Checks a built window against its definition: every control present with its kind,
/// geometry, caption, font and colours; stacking order; tab order.
void checkAgainstDefinition(QWidget *form, const FormDef &def, bool captionsAsDefined)
{
    QCOMPARE(form->objectName(), QLatin1String(def.name));
    QCOMPARE(form->windowTitle(), QString::fromUtf8(def.caption));
    QCOMPARE(form->size(), QSize(forms::toPixels(def.clientWidth), forms::toPixels(def.clientHeight)));
    QStringList stacked;
    std::vector<std::pair<int, QWidget *>> tabStops;
    for (const ControlDef &c : def.controls) {
        const QString name = QLatin1String(c.name);
        QObject *o = form->findChild<QObject *>(name, Qt::FindDirectChildrenOnly);
        QVERIFY2(o, qPrintable(name));
        QVERIFY2(hasKind(o, c.kind), qPrintable(name));
        if (c.kind == Kind::Timer) {
            QCOMPARE(static_cast<forms::Timer *>(o)->interval(), c.interval);
            continue;
        }
        auto *w = static_cast<QWidget *>(o);
        stacked << name;
        if (c.kind == Kind::Line) {
            auto *line = static_cast<forms::Line *>(w);
            QCOMPARE(line->from(), QPoint(forms::toPixels(c.left), forms::toPixels(c.top)));
            QCOMPARE(line->to(), QPoint(forms::toPixels(c.width), forms::toPixels(c.height)));
            continue;
        }
        if (c.kind != Kind::Image) {
            QCOMPARE(w->geometry(), forms::toPixels(c.left, c.top, c.width, c.height));
            if (captionsAsDefined)
                QCOMPARE(captionOf(w), QString::fromUtf8(c.caption));
        }
        if (c.font.pointSize > 0) {
            QCOMPARE(QFontInfo(w->font()).family().toLower(), songFace().toLower());
            QCOMPARE(w->font().pointSizeF(), c.font.pointSize);
            QCOMPARE(w->font().bold(), c.font.bold);
        }
        if (c.foreColor) {
            const QColor fore(c.foreColor->r, c.foreColor->g, c.foreColor->b);
            const QPalette::ColorRole role = c.kind == Kind::TextBox ? QPalette::Text
                                             : c.kind == Kind::CommandButton ? QPalette::ButtonText
                                                                             : QPalette::WindowText;
            QCOMPARE(w->palette().color(QPalette::Active, role), fore);
        }
        if (c.backColor) {
            const QColor back(c.backColor->r, c.backColor->g, c.backColor->b);
            const QPalette::ColorRole role = c.kind == Kind::TextBox ? QPalette::Base
                                             : c.kind == Kind::CommandButton ? QPalette::Button
                                                                             : QPalette::Window;
            QCOMPARE(w->palette().color(role), back);
        }
        if (c.kind == Kind::Label)
            QCOMPARE(w->autoFillBackground(), c.opaque);
        const bool focusable = c.kind == Kind::TextBox || c.kind == Kind::CheckBox || c.kind == Kind::CommandButton;
        QCOMPARE(w->focusPolicy() != Qt::NoFocus, focusable);
        if (focusable)
            tabStops.emplace_back(c.tabIndex, w);
    }
    // Stacking order: the window's widgets, bottom first, are exactly the definition's.
    QStringList actual;
    for (QObject *o : form->children())
        if (o->isWidgetType() && !o->objectName().startsWith(QLatin1String("qt_")))
            actual << o->objectName();
    QCOMPARE(actual, stacked);
    // Tab order: each focusable control is followed by the next by tab index.
    std::sort(tabStops.begin(), tabStops.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < tabStops.size(); ++i) {
        QWidget *next = tabStops[i - 1].second->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus && next != tabStops[i].second)
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), tabStops[i].second->objectName());
    }
}

} // namespace

class TestFormDefs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { Module1::savedIntervals = {}; }
    void definitionsAreConsistent_data();
    void definitionsAreConsistent();
    void secondaryWindowsMatchTheirDefinitions_data();
    void secondaryWindowsMatchTheirDefinitions();
    void mainWindowMatchesItsDefinition();
    void mainWindowSpotValues();
    void mainWindowControlsStayPutOnResize();
    void firstFocusGoesToCheck1();
    void backgroundPicture_data();
    void backgroundPicture();
    void labelsStayReadableOverThePicture();
    void songFontHasTheGlyphs();
    void bannerFitsAndIsPlacedByItsBlanks_data();
    void bannerFitsAndIsPlacedByItsBlanks();
};

void TestFormDefs::definitionsAreConsistent_data()
{
    QTest::addColumn<const FormDef *>("def");
    QTest::addColumn<int>("controls");
    QTest::newRow("Form1") << &ui::Form1() << 34;
    QTest::newRow("Form2") << &ui::Form2() << 3;
    QTest::newRow("Form3") << &ui::Form3() << 3;
    QTest::newRow("Form4") << &ui::Form4() << 3;
    QTest::newRow("Form5") << &ui::Form5() << 8;
}

void TestFormDefs::definitionsAreConsistent()
{
    QFETCH(const FormDef *, def);
    QFETCH(int, controls);
    QCOMPARE(int(def->controls.size()), controls);
    QSet<QString> names;
    QList<int> tabIndexes;
    for (const ControlDef &c : def->controls) {
        const QString name = QLatin1String(c.name);
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
        if (c.tabIndex >= 0)
            tabIndexes << c.tabIndex;
        if (c.kind == Kind::Timer || c.kind == Kind::Line || c.kind == Kind::Image)
            continue;
        // Inside the client area; only the banners run past the right edge, by 15 to 60 twips.
        QVERIFY2(c.left >= 0 && c.top >= 0 && c.top + c.height <= def->clientHeight, qPrintable(name));
        const int overhang = c.left + c.width - def->clientWidth;
        QVERIFY2(overhang <= 0 || (c.left == 0 && overhang >= 15 && overhang <= 60), qPrintable(name));
    }
    std::sort(tabIndexes.begin(), tabIndexes.end());
    for (int k = 0; k < tabIndexes.size(); ++k)
        QCOMPARE(tabIndexes[k], k); // 0 .. n-1, each once
}

void TestFormDefs::secondaryWindowsMatchTheirDefinitions_data()
{
    QTest::addColumn<const FormDef *>("def");
    QTest::newRow("Form2") << &ui::Form2();
    QTest::newRow("Form3") << &ui::Form3();
    QTest::newRow("Form4") << &ui::Form4();
    QTest::newRow("Form5") << &ui::Form5();
}

void TestFormDefs::secondaryWindowsMatchTheirDefinitions()
{
    QFETCH(const FormDef *, def);
    QWidget owner;
    forms::Form form(*def, &owner);
    checkAgainstDefinition(&form, *def, true);
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(form.minimumSize(), form.maximumSize()); // cannot be resized
    QCOMPARE(form.palette().color(QPalette::Window),
             QColor(def->backColor->r, def->backColor->g, def->backColor->b));
}

void TestFormDefs::mainWindowMatchesItsDefinition()
{
    Fixture p;
    MainForm &form = *p.form;
    checkAgainstDefinition(&form, ui::Form1(), true);
    QVERIFY(!form.windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestFormDefs::mainWindowSpotValues()
{
    Fixture p;
    MainForm &form = *p.form;
    QCOMPARE(form.size(), QSize(893, 488));
    QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(button(&form, "Command1")->text(), QStringLiteral("   一键保存个人时间     （无法在计时时使用）"));
    QCOMPARE(label(&form, "Label7")->text(), QStringLiteral("  分   "));
    QCOMPARE(label(&form, "Label1")->text(), QStringLiteral("    喝水"));
    QCOMPARE(label(&form, "Label2")->text(), QStringLiteral(" 确定选择并开始计时"));
    QCOMPARE(box(&form, "Text1")->text(), QStringLiteral("关"));
    QCOMPARE(box(&form, "m2")->geometry(), QRect(296, 184, 81, 57));
    QCOMPARE(check(&form, "Check3")->geometry(), QRect(368, 272, 9, 12));
    QCOMPARE(label(&form, "Label3")->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(label(&form, "Label8")->palette().color(QPalette::Window), QColor(0, 0, 0));
    QVERIFY(box(&form, "h")->font().bold());
    QCOMPARE(box(&form, "h")->font().pointSizeF(), 24.0);
    QCOMPARE(check(&form, "Check1")->text(), QString());
    // Line1 is the top edge of the frame around the start label.
    auto *line1 = form.findChild<forms::Line *>("Line1");
    QCOMPARE(line1->from(), QPoint(208, 424));
    QCOMPARE(line1->to(), QPoint(472, 424));
}

void TestFormDefs::mainWindowControlsStayPutOnResize()
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

void TestFormDefs::firstFocusGoesToCheck1()
{
    Fixture p;
    MainForm &form = *p.form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(check(&form, "Check1")));
}

void TestFormDefs::backgroundPicture_data()
{
    QTest::addColumn<QSize>("windowSize");
    QTest::newRow("as designed") << QSize(893, 488);
    QTest::newRow("grown past the picture") << QSize(1200, 800);
}

void TestFormDefs::backgroundPicture()
{
    // The window shows the picture at its natural size from its top-left corner, never
    // stretched, and the window's own background where the picture ends, also after the
    // window has been made larger than it first was.
    QFETCH(QSize, windowSize);
    QImageReader reader(QStringLiteral(":/background.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(1079, 589));
    const QImage picture = reader.read();
    Fixture p;
    MainForm &form = *p.form;
    QWidget *image = form.findChild<QWidget *>(QStringLiteral("Image1"));
    QCOMPARE(image->geometry(), QRect(0, 0, 1079, 589));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.resize(windowSize);
    QTRY_COMPARE(form.size(), windowSize);
    const QImage shown = form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), windowSize);
    // Points where no control lies over the picture, up to its right and bottom edges.
    const QList<QPoint> bare{{2, 2}, {30, 300}, {500, 20}, {640, 480}, {850, 10}, {890, 485}};
    for (const QPoint &pt : bare)
        QCOMPARE(QColor(shown.pixel(pt)), QColor(picture.pixel(pt)));
    if (windowSize.width() > 1079) {
        for (const QPoint &pt : {QPoint(1078, 588), QPoint(1000, 580), QPoint(1070, 100)})
            QCOMPARE(QColor(shown.pixel(pt)), QColor(picture.pixel(pt)));
        const QColor window = form.palette().color(QPalette::Window);
        for (const QPoint &pt : {QPoint(1079, 10), QPoint(1199, 799), QPoint(10, 589), QPoint(1100, 700)})
            QCOMPARE(QColor(shown.pixel(pt)), window);
    }
}

void TestFormDefs::labelsStayReadableOverThePicture()
{
    const QImage picture(QStringLiteral(":/background.jpg"));
    QVERIFY(!picture.isNull());
    for (const ControlDef &c : ui::Form1().controls) {
        if (c.kind != Kind::Label || c.opaque)
            continue;
        const QColor text = c.foreColor ? QColor(c.foreColor->r, c.foreColor->g, c.foreColor->b) : QColor(Qt::black);
        const QColor back = meanColour(picture, forms::toPixels(c.left, c.top, c.width, c.height));
        const double l1 = luminance(text), l2 = luminance(back);
        const double ratio = (std::max(l1, l2) + 0.05) / (std::min(l1, l2) + 0.05);
        // Large text needs 3:1, smaller text 4.5:1.
        const double needed = c.font.pointSize >= 18 ? 3.0 : 4.5;
        QVERIFY2(ratio >= needed, qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(c.name)).arg(ratio)));
    }
}

void TestFormDefs::songFontHasTheGlyphs()
{
    // "宋体" must land on a face that really draws the captions, not on empty boxes.
    const QFont font = forms::fontFor({21.75, false});
    const QFontMetrics metrics(font);
    for (const QString &text : {QStringLiteral("喝水远眺厕所确定选择并开始计时"), QStringLiteral("时分秒双击此处变为关")})
        for (QChar ch : text)
            QVERIFY2(metrics.inFontUcs4(ch.unicode()), qPrintable(QString(ch)));
}

void TestFormDefs::bannerFitsAndIsPlacedByItsBlanks_data()
{
    QTest::addColumn<const FormDef *>("def");
    QTest::addColumn<QString>("banner");
    QTest::addColumn<int>("blanks");
    QTest::newRow("Form2") << &ui::Form2() << "Label2" << 9;
    QTest::newRow("Form3") << &ui::Form3() << "Label1" << 8;
    QTest::newRow("Form4") << &ui::Form4() << "Label1" << 9;
}

void TestFormDefs::bannerFitsAndIsPlacedByItsBlanks()
{
    // The 36 pt "到时啦" must fit its label's height whole, and its leading blanks (half an
    // em each) must put it where the window was designed to show it.
    QFETCH(const FormDef *, def);
    QFETCH(QString, banner);
    QFETCH(int, blanks);
    QWidget owner;
    forms::Form form(*def, &owner);
    QLabel *label = form.findChild<QLabel *>(banner);
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

QTEST_MAIN(TestFormDefs)
#include "tst_formdefs.moc"
