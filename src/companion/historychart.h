#pragma once

#include "companion/history.h"

#include <QColor>
#include <QWidget>

#include <array>
#include <vector>

namespace companion {

/// A bar chart of the acknowledged reminders of some days: one bar per slot per day, in
/// the colours of the slots' reminder windows, each day's date under its bars.
class HistoryChart : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryChart(std::array<QColor, 3> colours, QWidget *parent = nullptr);

    void setDays(std::vector<History::Day> days);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QColor, 3> m_colours;
    std::vector<History::Day> m_days;
};

} // namespace companion
