#pragma once

#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace runtime {

/// An Image control: a picture shown at its natural size from the control's top-left
/// corner, never stretched; where the picture ends, what lies below shows through.
///
/// The picture is decoded when a part of it must be drawn, and only that part. What
/// stays decoded afterwards are the pieces that lie under the text boxes and check boxes:
/// they are the controls that the program itself changes while nobody touches it, each
/// second while a countdown runs. So that repaint stays a small copy on the GUI thread,
/// and the rest of the picture, drawn again only when the window first appears, grows,
/// or the pointer passes over a button, takes no memory while the program sits in the
/// background. On a scaled screen the whole picture is enlarged once for the screen's
/// pixel ratio and kept so: every repaint there is a copy, as the enlarging (a smooth
/// scaling of the whole picture) costs many times what the copy does.
class Picture : public QWidget
{
    Q_OBJECT
public:
    /// source: the picture's file or resource path.
    explicit Picture(const QString &source, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Piece {
        QRect rect; ///< in this control's coordinates
        QPixmap pixels;
    };

    /// The part rect of the picture, decoded, in the screen's pixels.
    QPixmap decode(const QRect &rect) const;
    /// The places of the pieces to keep: under the sibling text boxes and check boxes.
    std::vector<QRect> wantedPieces() const;

    QString m_source;
    QSize m_pictureSize;
    qreal m_ratio = 0; ///< the screen's pixel ratio that the pieces were decoded for
    std::vector<Piece> m_pieces;
    QPixmap m_enlarged; ///< the whole picture for a scaled screen, made at its first repaint
};

} // namespace runtime
