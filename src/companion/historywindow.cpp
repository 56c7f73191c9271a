#include "companion/historywindow.h"

#include "companion/history.h"
#include "companion/historychart.h"
#include "alerts/slot.h"
#include "ui/windowdefs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace companion {
namespace {

/// The background colour of each slot's reminder window, in slot order.
std::array<QColor, 3> reminderColours()
{
    const runtime::FormDef *const windows[3] = {&ui::Form2(), &ui::Form3(), &ui::Form4()};
    std::array<QColor, 3> colours;
    for (size_t k = 0; k < colours.size(); ++k) {
        const runtime::Rgb rgb = windows[k]->backColor.value_or(runtime::Rgb{255, 255, 255});
        colours[k] = QColor(rgb.r, rgb.g, rgb.b);
    }
    return colours;
}

} // namespace

HistoryWindow::HistoryWindow(const History &history, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_history(history)
{
    setWindowTitle(QStringLiteral("提醒记录"));
    const std::array<QColor, 3> colours = reminderColours();
    m_chart = new HistoryChart(colours, this);
    auto *today = new QHBoxLayout;
    today->addWidget(new QLabel(QStringLiteral("今天："), this));
    for (size_t k = 0; k < m_today.size(); ++k) {
        // In its bars' colour: the labels are the chart's legend too.
        QLabel *label = m_today[k] = new QLabel(this);
        label->setAutoFillBackground(true);
        label->setMargin(4);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, colours[k]);
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
        today->addWidget(label);
    }
    today->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(today);
    layout->addWidget(new QLabel(QStringLiteral("最近 7 天："), this));
    layout->addWidget(m_chart, 1);
}

void HistoryWindow::showRecord()
{
    const std::vector<History::Day> days = m_history.lastDays(kDays);
    for (size_t k = 0; k < m_today.size(); ++k)
        m_today[k]->setText(QStringLiteral("%1 %2 次").arg(alerts::topicOf(alerts::kSlots[k])).arg(days.back().acknowledged[k]));
    m_chart->setDays(days);
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

} // namespace companion
