#include "forms/form.h"

#include "forms/formbuilder.h"

#include <QCloseEvent>
#include <QScreen>

namespace forms {

Form::Form(const FormDef &def, QWidget *owner)
    : QDialog(owner, def.border == FormDef::Border::None ? Qt::Dialog | Qt::FramelessWindowHint : Qt::Dialog)
    , m_position(def.position)
{
    buildForm(this, def);
    setFixedSize(size());
}

void Form::Show()
{
    if (m_position == FormDef::Position::CenterScreen) {
        // Moving it ourselves keeps the dialog from centring itself over its owner.
        const QScreen *s = parentWidget() ? parentWidget()->screen() : screen();
        move(s->availableGeometry().center() - rect().center());
    }
    // Blocking on purpose: the caller (a countdown tick, a button) goes on only after the
    // window has been hidden again, while timers keep firing in the nested event loop.
    exec();
}

void Form::reject()
{
}

void Form::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

} // namespace forms
