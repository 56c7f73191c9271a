#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace runtime {

/// An Image control: a picture shown at its natural size from the control's top-left
/// corner, never stretched; where the picture ends, what lies below shows through.
///
/// Only the part of the picture that its window can show is decoded and kept (decoded
/// again, once, if the window grows), and a repaint copies just the rectangles that
/// changed. So the once-a-second repaint of a few small boxes over the picture stays a
/// small copy on the GUI thread, instead of drawing a large picture through the toolkit's
/// helper threads.
class Picture : public QWidget
{
    Q_OBJECT
public:
    /// source: the picture's file or resource path.
    explicit Picture(const QString &source, QWidget *parent = nullptr);

    /// The picture's natural size; empty when it cannot be read.
    QSize pictureSize() const { return m_pictureSize; }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    /// Decodes the part of the picture that the window shows now, if not done yet.
    void prepare();

    QString m_source;
    QSize m_pictureSize;
    QPixmap m_shown;  ///< the picture's top-left part, in the screen's pixels
    QSize m_covered;  ///< how much of the picture m_shown holds
};

} // namespace runtime
