// The program's own faces, where the program carries them (Linux): its windows draw with
// them, and they hold every character the program shows, so that none of them has to come
// from a whole CJK face.
#include "alerts/reminderwindow.h"
#include "app/startup.h"
#include "companionprogram.h"
#include "runtime/formbuilder.h"
#include "runtime/textbox.h"
#include "testmain.h"
#include "ui/windowdefs.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRawFont>
#include <QResource>
#include <QSpinBox>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTranslator>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

const QString kFaces = u":/fonts"_s;

/// Every text a window and its controls show.
void collectTexts(QWidget *top, QStringList &texts)
{
    texts << top->windowTitle();
    QList<QWidget *> widgets = top->findChildren<QWidget *>();
    widgets.prepend(top);
    for (QWidget *w : widgets) {
        texts << w->toolTip();
        if (auto *label = qobject_cast<QLabel *>(w))
            texts << (Qt::mightBeRichText(label->text()) ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                                                         : label->text());
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << button->text();
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            texts << group->title();
        else if (auto *spin = qobject_cast<QSpinBox *>(w))
            texts << spin->prefix() << spin->suffix() << spin->specialValueText() << spin->text();
        else if (auto *edit = qobject_cast<QDateTimeEdit *>(w))
            texts << edit->text();
        else if (auto *menu = qobject_cast<QMenu *>(w))
            for (const QAction *action : menu->actions())
                texts << action->text();
    }
}

/// The edit menu that Qt shows on a text box (its own texts, in Chinese), with the entries
/// it adds there on a spin or time box.
void collectEditMenu(QLineEdit *edit, QStringList &texts)
{
    const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    for (const QAction *action : menu->actions())
        texts << action->text();
    texts << QCoreApplication::translate("QAbstractSpinBox", "&Step up")
          << QCoreApplication::translate("QAbstractSpinBox", "Step &down");
}

} // namespace

class TestProgramFont : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void theWindowsDrawWithIt();
    void itHoldsEveryCharacterTheProgramShows();
};

void TestProgramFont::initTestCase()
{
    if (QDir(kFaces).isEmpty())
        QSKIP("the program carries no face of its own here: 宋体 is the system's");
    // As at the program's start: its face, and the toolkit's own texts in Chinese.
    app::setUpApplication();
    QVERIFY2(qApp->findChild<QTranslator *>(), "Qt's Chinese translation is missing (qt6-translations-l10n)");
}

void TestProgramFont::theWindowsDrawWithIt()
{
    QCOMPARE(QFontInfo(runtime::fontFor(runtime::FontDef{9})).family(), u"SimSun"_s);
    // Drawn, the five windows and every message take every glyph of their texts from the
    // program's own faces, in the Song face, its bold and the desktop's default font: a
    // character they lacked would have a whole system face loaded.
    const std::array<const runtime::FormDef *, 5> defs{&ui::Form1(), &ui::Form2(), &ui::Form3(), &ui::Form4(),
                                                       &ui::Form5()};
    for (const runtime::FormDef *def : defs) {
        QWidget form;
        runtime::buildForm(&form, *def);
        QVERIFY(!form.grab().isNull());
    }
    for (alerts::Slot slot : alerts::kSlots) {
        QWidget form;
        runtime::buildForm(&form, *defs[1 + alerts::indexOf(slot)]);
        auto *message = label(&form, alerts::ReminderWindow::messageLabelName(slot));
        for (const QString &text : alerts::ReminderWindow::messages(slot)) {
            message->setText(text);
            QVERIFY(!message->grab().isNull());
        }
    }
    QFile maps(u"/proc/self/maps"_s);
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY2(!mapped.contains("NotoSerifCJK") && !mapped.contains("NotoSansCJK"),
             "a whole system face was loaded to draw the windows");
}

void TestProgramFont::itHoldsEveryCharacterTheProgramShows()
{
    QStringList texts;
    // The five windows as defined, and every message a reminder can draw.
    for (const runtime::FormDef *def : {&ui::Form1(), &ui::Form2(), &ui::Form3(), &ui::Form4(), &ui::Form5()}) {
        texts << QString::fromUtf8(def->caption);
        for (const runtime::ControlDef &c : def->controls)
            texts << QString::fromUtf8(c.caption);
    }
    for (alerts::Slot slot : alerts::kSlots)
        texts << alerts::ReminderWindow::messages(slot);

    // The program with its additions: the menu, the record window, the options window, and
    // the edit menus of a time box and of the options' spin and time boxes.
    Program p;
    p.form->show();
    collectTexts(&p.menu(), texts);
    p.menu().records()->trigger();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible())
            collectTexts(w, texts);
    collectEditMenu(box(p.form.get(), "h"), texts);
    whenModal([&texts](QWidget *options) {
        collectTexts(options, texts);
        options->close();
    });
    p.menu().options()->trigger();
    QVERIFY(texts.join(QString()).contains(u"撤消"_s)); // the edit menu was read, in Chinese

    QStringList missing;
    for (const QString &name : QDir(kFaces).entryList()) {
        const QRawFont face(QResource(kFaces + u"/"_s + name).uncompressedData(), 12);
        QVERIFY(face.isValid());
        for (const QString &text : std::as_const(texts)) {
            for (const char32_t c : text.toUcs4()) {
                if (QChar::isSpace(c) || QChar::category(c) == QChar::Other_Control || face.supportsCharacter(c))
                    continue;
                missing << u"%1 lacks %2 (U+%3) of \"%4\""_s.arg(name, QString::fromUcs4(&c, 1))
                               .arg(uint(c), 4, 16, QLatin1Char('0'))
                               .arg(text);
                break;
            }
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u"; "_s)));
}

QUORVANE_TEST_CLASS(TestProgramFont)
#include "tst_programfont.moc"
