#include "runtime/line.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace runtime {

Line::Line(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void Line::setEnds(QPoint from, QPoint to)
{
    m_from = from;
    m_to = to;
    // The widget covers the line's bounding box, end points included.
    setGeometry(std::min(from.x(), to.x()), std::min(from.y(), to.y()), std::abs(to.x() - from.x()) + 1,
                std::abs(to.y() - from.y()) + 1);
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawLine(m_from - pos(), m_to - pos());
}

} // namespace runtime
