#pragma once

#include "alerts/reminderwindow.h"
#include "app/timefield.h"
#include "runtime/lazy.h"

#include <QString>

#include <array>
#include <functional>

class QCheckBox;
class QWidget;

namespace runtime {
class Timer;
}

namespace app {

/// One reminder row of the main window: its check box, its hours, minutes and seconds
/// boxes, its countdown timer and its reminder window. It holds only its controls: the
/// countdown value is the text of the three boxes, the selection the check box,
/// editability the boxes' Enabled state and running the timer's Enabled state.
class ReminderSlot
{
public:
    /// The slot's controls are looked up on form by name. makeWindow creates the slot's
    /// reminder window at its first alert.
    ReminderSlot(QWidget *form, alerts::Slot slot, std::function<alerts::ReminderWindow *()> makeWindow);

    QCheckBox *check() const { return m_check; }
    runtime::Timer *timer() const { return m_timer; }
    TimeField &hours() { return m_fields[0]; }
    TimeField &minutes() { return m_fields[1]; }
    TimeField &seconds() { return m_fields[2]; }
    const std::array<TimeField, 3> &fields() const { return m_fields; }
    runtime::Lazy<alerts::ReminderWindow> &window() { return m_window; }

    /// The check box changed: ticking opens the boxes with their texts kept;
    /// unticking writes "0" into them and closes them.
    void Check_Click();
    /// The start action for this slot: a ready slot (its boxes open) with an interval of
    /// 0/0/0 is stopped, any other ready slot switched over (a second click before the
    /// first tick stops it again). Other slots are left alone.
    void startOrStop();
    /// One second of the countdown, or the alert at 0/0/0.
    void Timer_Timer();
    /// Stopped with the boxes closed, as at start-up.
    void stopAndClose();

    /// Ticked and not counting yet: the boxes are open.
    bool isReady() const;
    bool isCounting() const;
    /// The recommended interval into the boxes.
    void fillAdvice();
    /// What the user is told when the recommended interval cannot be filled in.
    QString notTickedMessage() const;

private:
    void setBoxesEnabled(bool enabled);
    void putRightForCounting();
    bool isZero() const;

    alerts::Slot m_slot;
    QCheckBox *m_check;
    std::array<TimeField, 3> m_fields;
    runtime::Timer *m_timer;
    runtime::Lazy<alerts::ReminderWindow> m_window;
};

} // namespace app
