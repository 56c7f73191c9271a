#include "runtime/picture.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include <algorithm>

namespace runtime {
namespace {

/// The screen's pixels that a rectangle of the control covers, whole pixels outwards.
QRect inScreenPixels(const QRect &rect, qreal ratio)
{
    return QRect(QPoint(qFloor(rect.x() * ratio), qFloor(rect.y() * ratio)),
                 QPoint(qCeil((rect.right() + 1) * ratio) - 1, qCeil((rect.bottom() + 1) * ratio) - 1));
}

} // namespace

Picture::Picture(const QString &source, QWidget *parent)
    : QWidget(parent)
    , m_source(source)
    , m_pictureSize(QImageReader(source).size())
{
    setFocusPolicy(Qt::NoFocus);
}

qint64 Picture::keptArea() const
{
    qint64 area = 0;
    for (const Piece &piece : m_pieces)
        area += qint64(piece.rect.width()) * piece.rect.height();
    return area;
}

QPixmap Picture::decode(const QRect &rect) const
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1) {
        QImageReader reader(m_source);
        if (rect != QRect(QPoint(0, 0), m_pictureSize))
            reader.setClipRect(rect);
        return QPixmap::fromImage(reader.read());
    }
    // On a scaled screen the whole picture is enlarged, smoothly, as the toolkit's labels
    // enlarge pictures there, and the part asked for is kept in the screen's pixels.
    const QSize enlarged = (QSizeF(m_pictureSize) * ratio).toSize();
    const QRect part = inScreenPixels(rect, ratio) & QRect(QPoint(0, 0), enlarged);
    QImage image =
        QImageReader(m_source).read().scaled(enlarged, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).copy(part);
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(std::move(image));
}

std::vector<QRect> Picture::wantedPieces() const
{
    std::vector<QRect> wanted;
    const QWidget *parent = parentWidget();
    if (!parent)
        return wanted;
    const QRect picture(QPoint(0, 0), m_pictureSize);
    for (const QObject *child : parent->children()) {
        const auto *control = qobject_cast<const QWidget *>(child);
        if (!control || control == this || control->isWindow()
            || !(qobject_cast<const QCheckBox *>(control) || qobject_cast<const QLineEdit *>(control)))
            continue;
        const QRect under = QRect(mapFrom(parent, control->pos()), control->size()) & picture;
        if (!under.isEmpty())
            wanted.push_back(under);
    }
    return wanted;
}

void Picture::paintEvent(QPaintEvent *event)
{
    const qreal ratio = devicePixelRatioF();
    if (ratio != m_ratio) {
        m_pieces.clear(); // decoded for another screen
        m_ratio = ratio;
    }
    QPainter painter(this);
    // Rectangle by rectangle: clipped to one rectangle, the drawing is a plain copy of the
    // part that changed. The rectangles that no piece holds are decoded together.
    const QRect picture(QPoint(0, 0), m_pictureSize);
    QRegion rest;
    for (const QRect &changed : event->region()) {
        const QRect r = changed & picture;
        if (r.isEmpty())
            continue;
        const auto piece =
            std::find_if(m_pieces.begin(), m_pieces.end(), [&r](const Piece &p) { return p.rect.contains(r); });
        if (piece == m_pieces.end()) {
            rest += r;
            continue;
        }
        painter.setClipRect(r);
        painter.drawPixmap(piece->rect.topLeft(), piece->pixels);
    }
    if (rest.isEmpty())
        return;
    const QRect decoded = rest.boundingRect();
    const QPixmap part = decode(decoded);
    for (const QRect &r : rest) {
        painter.setClipRect(r);
        painter.drawPixmap(decoded.topLeft(), part);
    }
    // The pieces this drawing holds whole, cut out for the repaints to come.
    for (const QRect &wanted : wantedPieces()) {
        const bool kept =
            std::any_of(m_pieces.begin(), m_pieces.end(), [&wanted](const Piece &p) { return p.rect == wanted; });
        if (kept || rest.intersected(wanted) != QRegion(wanted))
            continue;
        const QRect inPart = inScreenPixels(wanted, ratio).translated(-inScreenPixels(decoded, ratio).topLeft());
        m_pieces.push_back({wanted, part.copy(inPart)});
    }
}

} // namespace runtime
