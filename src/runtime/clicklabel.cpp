#include "runtime/clicklabel.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace runtime {

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

void ClickLabel::paintEvent(QPaintEvent *event)
{
    if (textFormat() != Qt::PlainText || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    const qreal em = QFontInfo(font()).pixelSize();
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    // Glyphs stand on a baseline 0.86 em below the top of their line, as in the face the
    // captions were designed for.
    const qreal baseline = em * 0.86;

    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    qreal top = 0;
    QString caption = text();
    caption.remove(QLatin1Char('\r'));
    caption.replace(QLatin1Char(' '), QChar(0x2002)); // EN SPACE: half an em, still a break point
    for (const QString &paragraph : caption.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font(), this);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width());
            line.setPosition(QPointF(0, top + baseline - line.ascent()));
            top += em;
        }
        layout.endLayout();
        if (paragraph.isEmpty())
            top += em;
        layout.draw(&painter, QPointF(0, 0));
        if (top > height())
            break;
    }
}

} // namespace runtime
