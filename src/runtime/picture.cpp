#include "runtime/picture.h"

#include <QCheckBox>
#include <QImageReader>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace runtime {

Picture::Picture(const QString &source, QWidget *parent)
    : QWidget(parent)
    , m_source(source)
    , m_pictureSize(QImageReader(source).size())
{
    setFocusPolicy(Qt::NoFocus);
}

QPixmap Picture::decode(const QRect &rect) const
{
    QImageReader reader(m_source);
    if (rect != QRect(QPoint(0, 0), m_pictureSize))
        reader.setClipRect(rect);
    return QPixmap::fromImage(reader.read());
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
        m_enlarged = QPixmap();
        m_ratio = ratio;
    }
    QPainter painter(this);
    if (ratio != 1) {
        if (m_enlarged.isNull()) {
            // Enlarged smoothly, as the toolkit's labels enlarge pictures there.
            const QSize enlarged = (QSizeF(m_pictureSize) * ratio).toSize();
            QImage image =
                QImageReader(m_source).read().scaled(enlarged, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio);
            m_enlarged = QPixmap::fromImage(std::move(image));
        }
        for (const QRect &changed : event->region()) {
            painter.setClipRect(changed);
            painter.drawPixmap(QPoint(0, 0), m_enlarged);
        }
        return;
    }
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
        m_pieces.push_back({wanted, part.copy(wanted.translated(-decoded.topLeft()))});
    }
}

} // namespace runtime
