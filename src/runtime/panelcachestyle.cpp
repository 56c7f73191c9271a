#include "runtime/panelcachestyle.h"

#include <QPainter>
#include <QStyleOptionFrame>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace runtime {

PanelCacheStyle::PanelCacheStyle()
    : QProxyStyle()
{ }

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                    const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    const QTransform &toDevice = painter->deviceTransform();
    // Copied only where the copy lands on whole pixels at a whole scale, as drawn.
    const qreal scale = toDevice.m11();
    const bool keep = element == PE_PanelLineEdit && frame && !option->rect.isEmpty()
                      && !(option->state & State_HasFocus)
                      && baseStyle()->name().compare(u"fusion", Qt::CaseInsensitive) == 0
                      && (!widget || widget->styleSheet().isEmpty()) && toDevice.type() <= QTransform::TxScale
                      && toDevice.m22() == scale && scale >= 1 && scale == std::floor(scale)
                      && toDevice.dx() == std::floor(toDevice.dx()) && toDevice.dy() == std::floor(toDevice.dy())
                      && painter->compositionMode() == QPainter::CompositionMode_SourceOver && painter->opacity() == 1;
    if (!keep) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    Panel wanted{.size = option->rect.size(),
                 .state = int(option->state),
                 .palette = option->palette,
                 .group = option->palette.currentColorGroup(),
                 .lineWidth = frame->lineWidth,
                 .midLineWidth = frame->midLineWidth,
                 .features = int(frame->features),
                 .direction = int(option->direction),
                 .scale = int(scale),
                 .pixels = {}};
    auto found =
        std::find_if(m_panels.begin(), m_panels.end(), [&wanted](const Panel &p) { return p.sameLook(wanted); });
    if (found == m_panels.end()) {
        QImage image(wanted.size * wanted.scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(wanted.scale);
        image.fill(Qt::transparent);
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter onPanel(&image);
        onPanel.setPen(painter->pen());
        onPanel.setBrush(painter->brush());
        onPanel.setFont(painter->font());
        onPanel.setLayoutDirection(painter->layoutDirection());
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
        onPanel.end();
        wanted.pixels = QPixmap::fromImage(std::move(image));
        if (m_panels.size() >= kKeptPanels)
            m_panels.erase(m_panels.begin());
        m_panels.push_back(std::move(wanted));
    } else if (found != m_panels.end() - 1) {
        std::rotate(found, found + 1, m_panels.end());
    }
    const QPixmap &panel = m_panels.back().pixels;
    painter->drawPixmap(option->rect.topLeft(), panel);
}

} // namespace runtime
