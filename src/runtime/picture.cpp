#include "runtime/picture.h"

#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

namespace runtime {

Picture::Picture(const QString &source, QWidget *parent)
    : QWidget(parent)
    , m_source(source)
    , m_pictureSize(QImageReader(source).size())
{
    setFocusPolicy(Qt::NoFocus);
}

void Picture::prepare()
{
    // The part of this control that lies inside its window, as far as the picture reaches.
    const QRect inWindow = rect() & QRect(mapFrom(window(), QPoint(0, 0)), window()->size());
    const QSize needed = QSize(inWindow.right() + 1, inWindow.bottom() + 1).boundedTo(m_pictureSize);
    const qreal ratio = devicePixelRatioF();
    if (needed.isEmpty()
        || (m_shown.devicePixelRatio() == ratio && m_covered.width() >= needed.width()
            && m_covered.height() >= needed.height()))
        return;
    if (ratio == 1) {
        QImageReader reader(m_source);
        if (needed != m_pictureSize)
            reader.setClipRect(QRect(QPoint(0, 0), needed));
        m_shown = QPixmap::fromImage(reader.read());
    } else {
        // On a scaled screen the whole picture is enlarged once, smoothly, as the toolkit's
        // labels enlarge pictures there, and the part the window shows is kept in the
        // screen's pixels.
        const QImage whole = QImageReader(m_source).read();
        const QSize enlarged = (QSizeF(m_pictureSize) * ratio).toSize();
        const QSize kept = QSize(qCeil(needed.width() * ratio), qCeil(needed.height() * ratio)).boundedTo(enlarged);
        QImage part = whole.scaled(enlarged, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).copy(QRect(QPoint(0, 0), kept));
        part.setDevicePixelRatio(ratio);
        m_shown = QPixmap::fromImage(std::move(part));
    }
    m_covered = needed;
}

void Picture::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    prepare();
}

void Picture::paintEvent(QPaintEvent *event)
{
    prepare();
    QPainter painter(this);
    // Rectangle by rectangle: clipped to one rectangle, the drawing is a plain copy of the
    // part that changed.
    for (const QRect &r : event->region()) {
        painter.setClipRect(r);
        painter.drawPixmap(QPoint(0, 0), m_shown);
    }
}

} // namespace runtime
