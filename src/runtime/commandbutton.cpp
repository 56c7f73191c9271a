#include "runtime/commandbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace runtime {

CommandButton::CommandButton(QWidget *parent)
    : QPushButton(parent)
{ }

QString CommandButton::wrapAtBlanks(const QString &caption, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(caption) <= width)
        return caption;
    // Words are the runs between blanks; each line takes as many words as fit.
    const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString line;
    for (const QString &word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines.join(QLatin1Char('\n'));
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_On | QStyle::State_Sunken))
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    // A word still wider than the button breaks wherever it must.
    style()->drawItemText(&painter, area, Qt::AlignCenter | Qt::TextWordWrap, option.palette, isEnabled(),
                          wrapAtBlanks(caption, fontMetrics(), area.width()), QPalette::ButtonText);
}

} // namespace runtime
