#include "runtime/formbuilder.h"

#include "runtime/clicklabel.h"
#include "runtime/commandbutton.h"
#include "runtime/line.h"
#include "runtime/picture.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace runtime {
namespace {

QColor toColor(const Rgb &c)
{
    return QColor(c.r, c.g, c.b);
}

void registerSongSubstitutes()
{
    static const bool done = [] {
        // "宋体" is not installed on Linux desktops; these faces have the same glyphs,
        // the Song-style ones first.
        const QStringList faces{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                                QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
        QFont::insertSubstitutions(QStringLiteral("SimSun"), faces);
        QFont::insertSubstitutions(QStringLiteral("宋体"), faces);
        return true;
    }();
    Q_UNUSED(done);
}

// The installed family that shows "宋体": SimSun where it is installed, otherwise the first
// installed of its substitutes. Asked for by a family that is not installed, the font
// database would search all fonts for a fallback (through fontconfig) for every size and
// weight before it got there.
QString songFamily()
{
    static const QString family = [] {
        registerSongSubstitutes();
        const QString song = QStringLiteral("SimSun");
        for (const QString &candidate : QStringList{song} + QFont::substitutes(song))
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        return song;
    }();
    return family;
}

// The desktop's default font, its Chinese characters from the program's own Sans face
// where the program carries one (on Linux): the whole CJK face that the desktop's font
// would fall back to for them stays unloaded. The default family is named as the font
// database resolves it, since an alias such as "Sans Serif" heads no list of its own.
QFont defaultFont()
{
    static const QFont font = [] {
        QFont f;
        const QString own = QStringLiteral("Quorvane Sans");
        if (QFontDatabase::hasFamily(own))
            f.setFamilies({QFontInfo(f).family(), own});
        return f;
    }();
    return font;
}

void applyColors(QWidget *w, const ControlDef &c)
{
    QPalette pal = w->palette();
    if (c.foreColor) {
        // Enabled controls only: a disabled control keeps the desktop's greyed text.
        const QColor fore = toColor(*c.foreColor);
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(group, QPalette::WindowText, fore);
            pal.setColor(group, QPalette::Text, fore);
            pal.setColor(group, QPalette::ButtonText, fore);
        }
    }
    if (c.backColor) {
        const QColor back = toColor(*c.backColor);
        switch (c.kind) {
        case Kind::TextBox:
            pal.setColor(QPalette::Base, back);
            break;
        case Kind::CommandButton:
            pal.setColor(QPalette::Button, back);
            break;
        default:
            pal.setColor(QPalette::Window, back);
        }
    } else if (c.opaque) {
        // An opaque label without a colour of its own shows the desktop's default label
        // background, not its window's colour.
        pal.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
    }
    w->setPalette(pal);
}

// The control's font is set before its caption, so that no caption is laid out in another
// font first (which would load that font's fallback faces for nothing).
QWidget *createWidget(const ControlDef &c, QWidget *form)
{
    const QString caption = QString::fromUtf8(c.caption);
    switch (c.kind) {
    case Kind::Label: {
        auto *label = new ClickLabel(form);
        label->setFont(fontFor(c.font));
        label->setTextFormat(Qt::PlainText);
        label->setText(caption);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setAutoFillBackground(c.opaque);
        return label;
    }
    case Kind::TextBox: {
        auto *box = new TextBox(form);
        box->setFont(fontFor(c.font));
        box->setText(caption);
        return box;
    }
    case Kind::CheckBox: {
        auto *check = new QCheckBox(form);
        check->setFont(fontFor(c.font));
        check->setText(caption);
        return check;
    }
    case Kind::CommandButton: {
        auto *button = new CommandButton(form);
        button->setFont(fontFor(c.font));
        button->setText(caption);
        // Enter presses the button that has the focus, as Space does.
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Image:
        return new Picture(QString::fromUtf8(c.picture), form);
    case Kind::Line:
        return new Line(form);
    case Kind::Timer:
        break;
    }
    return nullptr;
}

} // namespace

QRect toPixels(int left, int top, int width, int height)
{
    return QRect(runtime::toPixels(left), runtime::toPixels(top), runtime::toPixels(width), runtime::toPixels(height));
}

QFont fontFor(const FontDef &font)
{
    registerSongSubstitutes();
    if (font.pointSize <= 0)
        return defaultFont();
    QFont f(songFamily());
    f.setPointSizeF(font.pointSize);
    f.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    return f;
}

void buildForm(QWidget *form, const FormDef &def)
{
    form->setObjectName(QLatin1String(def.name));
    form->setWindowTitle(QString::fromUtf8(def.caption));
    if (def.backColor) {
        QPalette pal = form->palette();
        pal.setColor(QPalette::Window, toColor(*def.backColor));
        form->setPalette(pal);
        form->setAutoFillBackground(true);
    }
    form->resize(runtime::toPixels(def.clientWidth), runtime::toPixels(def.clientHeight));

    std::vector<std::pair<int, QWidget *>> tabStops;
    for (const ControlDef &c : def.controls) {
        if (c.kind == Kind::Timer) {
            auto *timer = new Timer(form, c.interval);
            timer->setObjectName(QLatin1String(c.name));
            continue;
        }
        QWidget *w = createWidget(c, form);
        w->setObjectName(QLatin1String(c.name));
        if (c.kind == Kind::Line) {
            static_cast<Line *>(w)->setEnds(QPoint(runtime::toPixels(c.ends.x1), runtime::toPixels(c.ends.y1)),
                                            QPoint(runtime::toPixels(c.ends.x2), runtime::toPixels(c.ends.y2)));
        } else {
            w->setGeometry(toPixels(c.left, c.top, c.width, c.height));
        }
        applyColors(w, c);
        // Created in stacking order, bottom first: each control lies above the ones before.
        w->raise();
        const bool focusable = c.kind == Kind::TextBox || c.kind == Kind::CheckBox || c.kind == Kind::CommandButton;
        if (!focusable)
            w->setFocusPolicy(Qt::NoFocus);
        else if (c.tabIndex >= 0)
            tabStops.emplace_back(c.tabIndex, w);
    }
    std::sort(tabStops.begin(), tabStops.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < tabStops.size(); ++i)
        QWidget::setTabOrder(tabStops[i - 1].second, tabStops[i].second);
}

} // namespace runtime
