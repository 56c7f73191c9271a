#pragma once

#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QList>
#include <QString>

#include <memory>

namespace runtime {

/// An icon drawn from PNG files, one per size, read each time a picture of the icon is
/// asked for and not kept afterwards.
///
/// The windows hand their icon to the desktop once, when they are created, and the tray
/// asks for one small size now and then; holding every size decoded for the whole day
/// (a quarter of a MiB for the largest alone) would serve nobody. A file read is kept
/// until the program next waits for events: creating a window hands over every size
/// twice in a row, and the program's start-up should not read them twice.
class FileIconEngine : public QIconEngine
{
public:
    /// pattern: the files' path with "%1" for the size in pixels, e.g.
    /// ":/icons/hicolor/%1x%1/apps/quorvane.png"; sizes: the square sizes there are.
    FileIconEngine(const QString &pattern, const QList<int> &sizes);

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    /// The picture of the file closest to size (the smallest not below it, or else the
    /// largest), at exactly size.
    QImage picture(const QSize &size) const;

    QString m_pattern;
    QList<int> m_sizes; ///< ascending
    /// The files read since the program last waited for events, by path; shared by copies.
    std::shared_ptr<QHash<QString, QImage>> m_recent;
};

} // namespace runtime
