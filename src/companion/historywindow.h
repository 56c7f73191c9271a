#pragma once

#include <QWidget>

#include <array>

class QLabel;

namespace companion {

class History;
class HistoryChart;

/// "提醒记录": today's acknowledged reminders per slot ("喝水 3 次") and a chart of the
/// last seven days. Read afresh from the record each time it is shown.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(const History &history, QWidget *parent = nullptr);

    /// Reads the record again and shows it, in front.
    void showRecord();

    static constexpr int kDays = 7;

private:
    const History &m_history;
    std::array<QLabel *, 3> m_today{};
    HistoryChart *m_chart = nullptr;
};

} // namespace companion
