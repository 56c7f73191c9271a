#include "runtime/fileiconengine.h"

#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <algorithm>

namespace runtime {

FileIconEngine::FileIconEngine(const QString &pattern, const QList<int> &sizes)
    : m_pattern(pattern)
    , m_sizes(sizes)
    , m_recent(std::make_shared<QHash<QString, QImage>>())
{
    std::sort(m_sizes.begin(), m_sizes.end());
}

QImage FileIconEngine::picture(const QSize &size) const
{
    if (m_sizes.isEmpty() || size.isEmpty())
        return {};
    const int wanted = std::max(size.width(), size.height());
    const auto fit = std::lower_bound(m_sizes.begin(), m_sizes.end(), wanted);
    const int chosen = fit == m_sizes.end() ? m_sizes.last() : *fit;
    const QString path = m_pattern.arg(chosen);
    QImage image = m_recent->value(path);
    if (image.isNull()) {
        // Read as PNG: left to guess, the image reader would first load every image format
        // plugin installed (SVG among them) to ask each whether it reads the file.
        QImageReader reader(path, "png");
        reader.setAutoDetectImageFormat(false);
        image = reader.read();
        if (!image.isNull() && QCoreApplication::instance()) {
            // The first file kept since the program last waited: forget them all once it does.
            if (m_recent->isEmpty())
                QTimer::singleShot(0, QCoreApplication::instance(), [recent = std::weak_ptr(m_recent)] {
                    if (const auto kept = recent.lock())
                        kept->clear();
                });
            m_recent->insert(path, image);
        }
    }
    return image.size() == size ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPixmap FileIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return scaledPixmap(size, mode, state, 1);
}

QPixmap FileIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    // Never larger than the largest drawing, as with the toolkit's own icons.
    QImage image = picture(actualSize(size * scale, mode, state));
    image.setDevicePixelRatio(scale);
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    if (mode == QIcon::Disabled || mode == QIcon::Selected) {
        // Greyed out or highlighted the way the style does it for every other icon.
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        if (QStyle *style = QApplication::style())
            return style->generatedIconPixmap(mode, pixmap, &option);
    }
    return pixmap;
}

void FileIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1;
    painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
}

QSize FileIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    if (m_sizes.isEmpty())
        return {};
    // Square, and never larger than asked for nor than the largest file.
    const int side = std::min({size.width(), size.height(), m_sizes.last()});
    return QSize(side, side);
}

QList<QSize> FileIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    QList<QSize> sizes;
    for (int size : m_sizes)
        sizes.append(QSize(size, size));
    return sizes;
}

QIconEngine *FileIconEngine::clone() const
{
    auto *copy = new FileIconEngine(m_pattern, m_sizes);
    copy->m_recent = m_recent;
    return copy;
}

QString FileIconEngine::key() const
{
    return QStringLiteral("runtime::FileIconEngine");
}

} // namespace runtime
