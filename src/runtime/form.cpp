#include "runtime/form.h"

#include "runtime/formbuilder.h"

#include <QCloseEvent>
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
    beforeShow();
    // Centred over the owner's client area (or the screen), placed by us rather than by
    // the dialog's own guess at window frames, and kept wholly on the screen.
    const QWidget *owner = parentWidget();
    const bool overOwner =
        m_position == FormDef::Position::CenterOwner && owner && owner->isVisible() && !owner->isMinimized();
    const QScreen *s = owner ? owner->screen() : screen();
    const QRect area = s->availableGeometry();
    QRect placed(QPoint(0, 0), size());
    placed.moveCenter(overOwner ? owner->geometry().center() : area.center());
    placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width() + 1)));
    placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height() + 1)));
    move(placed.topLeft());
    // Blocking on purpose: the caller (a countdown tick, a button) goes on only after the
    // window has been hidden again, while timers keep firing in the nested event loop.
    exec();
    afterShow();
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
