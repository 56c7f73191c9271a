#pragma once

#include "reminders/interval.h"

#include <QObject>

#include <array>
#include <functional>
#include <optional>

namespace reminders {
class Reminders;
}

namespace companion {

/// "到时后自动重新计时": after "我已知晓" a row is not left cleared but counts down again
/// from the interval the person started it with (the one its first tick read), as if he
/// had ticked it, typed that interval and used the start action. A row he cleared or
/// stopped himself is not started again, and a reminder put off counts its few minutes
/// first (PutOff does that): the row's own interval comes back after the reminder then.
class Repeat : public QObject
{
    Q_OBJECT
public:
    /// on: whether the choice is ticked, asked at each acknowledgement.
    Repeat(reminders::Reminders &reminders, std::function<bool()> on, QObject *parent = nullptr);

private:
    std::function<bool()> m_on;
    /// Each row's interval as the person started it; none once he stopped or cleared it.
    std::array<std::optional<reminders::Interval>, 3> m_intervals;
};

} // namespace companion
