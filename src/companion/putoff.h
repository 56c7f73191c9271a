#pragma once

#include "alerts/slot.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>

class QWidget;

namespace alerts {
class ReminderWindow;
}

namespace companion {

class ReminderWatch;

/// Putting a reminder off: a right click anywhere on a reminder window offers
/// "5 分钟后再提醒" and "10 分钟后再提醒". Either hides the window and silences the beeper
/// as "我已知晓" does; then the slot counts down again from the minutes chosen (Repeat
/// does that once the reminder has gone). Only the innermost of nested reminders can be
/// put off, as only it can be acknowledged.
class PutOff : public QObject
{
    Q_OBJECT
public:
    /// startAgain: makes the slot count down from minutes once its reminder has gone.
    PutOff(ReminderWatch &watch, std::function<void(alerts::Slot, int minutes)> startAgain,
           QObject *parent = nullptr);

    /// Puts off the reminder of slot, if it is open and the innermost (the notification's
    /// action comes here too); nothing happens otherwise.
    void putOff(alerts::Slot slot, int minutes);

    static constexpr int kShortMinutes = 5;
    static constexpr int kLongMinutes = 10;

    /// The caption of the item that puts off for minutes.
    static QString caption(int minutes);

private:
    /// Gives a reminder window, at its first showing, its menu.
    void attachMenu(alerts::Slot slot, QWidget *window);

    std::function<void(alerts::Slot, int)> m_startAgain;
    std::array<QPointer<alerts::ReminderWindow>, 3> m_windows;
};

} // namespace companion
