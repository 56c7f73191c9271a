#pragma once

#include "reminders/interval.h"

#include <QObject>

#include <chrono>
#include <optional>

namespace reminders {
class ReminderSlot;
}

namespace companion {

/// "离开后重新开始远眺计时": the eyes rest while the person is away. After an absence at
/// least as long as the away minutes (the away hold sees it: his session locked, or no
/// input), the eye-rest countdown starts its whole interval again when he is back, the one
/// he started it with. Water and the toilet only hold. Only while the away hold is on.
class EyeRest : public QObject
{
    Q_OBJECT
public:
    explicit EyeRest(reminders::ReminderSlot &eyes, QObject *parent = nullptr);

    void setEnabled(bool on) { m_enabled = on; }
    /// The person is back after being away for so long; away: the minutes that make an
    /// absence.
    void back(std::chrono::seconds absence, std::chrono::minutes away);

Q_SIGNALS:
    /// The eye rest counts its whole interval again after an absence of so long.
    void rested(std::chrono::seconds absence);

private:
    reminders::ReminderSlot &m_eyes;
    bool m_enabled = false;
    /// The interval as the person started the countdown; none once he stopped or cleared it.
    std::optional<reminders::Interval> m_interval;
};

} // namespace companion
