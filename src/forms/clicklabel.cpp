#include "forms/clicklabel.h"

#include <QMouseEvent>

namespace forms {

ClickLabel::ClickLabel(QWidget *parent)
    : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_inDoubleClick = false;
    }
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = m_pressed;
    const bool wasDouble = m_inDoubleClick;
    m_pressed = false;
    m_inDoubleClick = false;
    event->accept();
    // A click counts only when the button is released over the label; the release that
    // ends a double click was already reported as DblClick.
    if (wasPressed && !wasDouble && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_inDoubleClick = true;
    event->accept();
    Q_EMIT DblClick();
}

} // namespace forms
