#include "runtime/form.h"

#include "runtime/formbuilder.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace runtime {

Form::Form(const FormDef &def, QWidget *owner)
    : QDialog(owner, def.border == FormDef::Border::None ? Qt::Dialog | Qt::FramelessWindowHint : Qt::Dialog)
    , m_position(def.position)
{
    buildForm(this, def);
    setFixedSize(size());
}

void Form::Show()
{
    if (isVisible())
        return;
    // Placed as things stand when the window is called up, before the showing's own
    // preparations (a reminder brings a minimized owner back).
    const QPoint at = placement();
    beforeShow();
    move(at);
    // Blocking on purpose: the caller (a countdown tick, a button) goes on only after the
    // window has been hidden again, while timers keep firing in the nested event loop.
    exec();
    afterShow();
}

QPoint Form::placement() const
{
    // Centred over the owner's client area (or the screen), placed by us rather than by
    // the dialog's own guess at window frames, and kept wholly on the screen.
    const QWidget *owner = parentWidget();
    const QScreen *s = owner ? owner->screen() : screen();
    bool overOwner = false;
    if (m_position == FormDef::Position::CenterOwner) {
        overOwner = owner && owner->isVisible() && !owner->isMinimized();
        // With several screens a window that comes by itself (a reminder) opens on the
        // one the user works on, the pointer's: over the owner only if it is in view
        // there, otherwise in the middle of that screen.
        const QScreen *pointer = QGuiApplication::screenAt(QCursor::pos());
        if (pointer && QGuiApplication::screens().size() > 1) {
            overOwner = overOwner && owner->screen() == pointer;
            s = pointer;
        }
    }
    const QRect area = s->availableGeometry();
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(overOwner ? owner->geometry().center() : area.center());
    placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width() + 1)));
    placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height() + 1)));
    return placed.topLeft();
}

void Form::Hide()
{
    if (isVisible())
        beforeHide();
    hide();
}

void Form::reject() { }

void Form::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

} // namespace runtime
