#pragma once

#include <QPalette>
#include <QPixmap>
#include <QProxyStyle>

#include <vector>

namespace runtime {

/// The application's style, which draws a text box's panel (its background and frame)
/// once per look and copies it from then on.
///
/// While slots count, three boxes repaint each second; drawing a panel's rounded,
/// smoothed outline anew each time was half of what a second cost. The panel depends
/// only on what the style is told (size, state, colours), so a picture of it drawn once
/// shows the same. Boxes of the same size and colours share one picture: the colours are
/// compared, not the palette objects, of which every box has its own. Only the Fusion style's panels are kept, and only while the box does
/// not have the focus: other styles may animate a panel from what they remember of the
/// box itself.
class PanelCacheStyle : public QProxyStyle
{
    Q_OBJECT
public:
    /// Over the style the application would have had without it.
    PanelCacheStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

    /// How many looks of a panel are kept at most (a box in each of its states, at most
    /// a few sizes); the one drawn longest ago makes room for a new one.
    static constexpr std::size_t kKeptPanels = 16;

private:
    /// What a panel's look depends on, and the look.
    struct Panel {
        QSize size;
        int state = 0;
        QPalette palette;
        QPalette::ColorGroup group = QPalette::Active;
        int lineWidth = 0;
        int midLineWidth = 0;
        int features = 0;
        int direction = 0;
        int scale = 1;
        QPixmap pixels;

        bool sameLook(const Panel &other) const
        {
            return size == other.size && state == other.state && group == other.group
                   && lineWidth == other.lineWidth && midLineWidth == other.midLineWidth && features == other.features
                   && direction == other.direction && scale == other.scale
                   && palette == other.palette; // the dearest comparison last
        }
    };

    mutable std::vector<Panel> m_panels; ///< the one drawn most recently last
};

} // namespace runtime
