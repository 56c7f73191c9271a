#include "runtime/textbox.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace runtime {

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent)
{ }

int TextBox::characterCode(const QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
    if (ctrl) {
        // Ctrl+letter produces the control characters 1..26 (Ctrl+C 3, Ctrl+V 22, Ctrl+X 24);
        // other Ctrl combinations produce no character.
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        return -1;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const char32_t c = text.toUcs4().value(0);
    if (c < 0x20 || c == 0x7f)
        return -1;
    return int(c);
}

bool TextBox::accepts(const QString &text)
{
    for (char32_t c : text.toUcs4()) {
        int code = int(c);
        Q_EMIT KeyPress(code);
        if (code == 0)
            return false;
    }
    return true;
}

void TextBox::keyPressEvent(QKeyEvent *event)
{
    int code = characterCode(event);
    if (code >= 0) {
        // A key event may carry several characters (some input methods send them so);
        // each one is put to the handler and the keystroke is dropped if any is refused.
        const QString text = event->text();
        bool keep = true;
        if (text.size() > 1 && !event->modifiers().testFlag(Qt::ControlModifier)) {
            keep = accepts(text);
        } else {
            Q_EMIT KeyPress(code);
            keep = code != 0;
        }
        if (!keep) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TextBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !accepts(event->commitString())) {
        // Drop the committed text but let the input method finish its composition.
        QInputMethodEvent cleared(QString(), event->attributes());
        QLineEdit::inputMethodEvent(&cleared);
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A box that loses the focus because it was disabled under the user's hands (its slot
    // started counting) was not left by the user: its text stays as typed.
    if (!isEnabled())
        return;
    switch (event->reason()) {
    case Qt::PopupFocusReason:        // the box's own context menu
    case Qt::ActiveWindowFocusReason: // another window became active; the box keeps its focus there
        return;
    default:
        Q_EMIT LostFocus();
    }
}

} // namespace runtime
