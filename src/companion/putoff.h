#pragma once

#include "alerts/slot.h"

#include <QObject>

#include <array>

namespace reminders {
class Reminders;
}

namespace companion {

/// Putting a reminder off: a right click anywhere on a reminder window offers
/// "5 分钟后再提醒" and "10 分钟后再提醒". Either makes the reminder go, silent, as
/// "我已知晓" does; then its row counts down again from the minutes chosen, still ticked.
/// Only the innermost of nested reminders can be put off, as only it can be acknowledged.
class PutOff : public QObject
{
    Q_OBJECT
public:
    explicit PutOff(reminders::Reminders &reminders, QObject *parent = nullptr);

    /// Puts off the reminder of slot for minutes, if it is open and the innermost (the
    /// notification's action comes here too); nothing happens otherwise.
    void putOff(alerts::Slot slot, int minutes);

    static constexpr int kShortMinutes = 5;
    static constexpr int kLongMinutes = 10;

    /// The caption of the item that puts off for minutes.
    static QString caption(int minutes);

private:
    reminders::Reminders &m_reminders;
    std::array<int, 3> m_minutes{}; ///< what each row's reminder was last put off for
};

} // namespace companion
