#include "companion/historychart.h"

#include <QPainter>

#include <algorithm>

namespace companion {

HistoryChart::HistoryChart(std::array<QColor, 3> colours, QWidget *parent)
    : QWidget(parent)
    , m_colours(colours)
{
    setMinimumSize(420, 200);
}

void HistoryChart::setDays(std::vector<History::Day> days)
{
    m_days = std::move(days);
    update();
}

QSize HistoryChart::sizeHint() const
{
    return {560, 260};
}

void HistoryChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_days.empty())
        return;
    int most = 1;
    for (const History::Day &day : m_days)
        most = std::max(most, *std::max_element(day.acknowledged.begin(), day.acknowledged.end()));

    const QFontMetrics metrics = painter.fontMetrics();
    const int labelHeight = metrics.height() + 6;
    const QRect plot = rect().adjusted(12, metrics.height() + 8, -12, -labelHeight);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    const double group = double(plot.width()) / double(m_days.size());
    const double bar = group / 4;
    for (size_t d = 0; d < m_days.size(); ++d) {
        const double left = plot.left() + group * double(d) + bar / 2;
        for (size_t k = 0; k < m_colours.size(); ++k) {
            const int count = m_days[d].acknowledged[k];
            if (count == 0)
                continue;
            const int height = std::max(1, int(double(plot.height()) * count / most));
            const QRectF column(left + bar * double(k), plot.bottom() - height + 1, bar, height);
            // Outlined: the toilet reminder's colour is white.
            painter.setBrush(m_colours[k]);
            painter.drawRect(column);
            painter.drawText(QRectF(column.left() - bar, column.top() - metrics.height() - 2, bar * 3,
                                    metrics.height()),
                             Qt::AlignCenter, QString::number(count));
        }
        painter.drawText(QRectF(plot.left() + group * double(d), plot.bottom() + 3, group, labelHeight),
                         Qt::AlignHCenter | Qt::AlignTop,
                         m_days[d].date.toString(QStringLiteral("M月d日")));
    }
}

} // namespace companion
