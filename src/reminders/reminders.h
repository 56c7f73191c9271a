// The three reminder rows together, and the holds the additions put on all of them.
#pragma once

#include "alerts/slot.h"
#include "reminders/reminderslot.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>

class QWidget;

namespace alerts {
class Beeper;
class ReminderWindow;
} // namespace alerts

namespace reminders {

/// The three rows of the main window, in slot order, and what holds them. Each reason
/// for a hold is given and taken back on its own; a row is held while any reason holds:
///
/// | reason     | countdowns | reminders falling due | open reminders |
/// |------------|------------|-----------------------|----------------|
/// | Pause      | held       |                       |                |
/// | Away       | held       |                       | silent         |
/// | OffHours   | held       |                       |                |
/// | Presenting |            | wait, open at the end | silent         |
///
/// A held countdown keeps its boxes as they stand and goes on at the release; a silent
/// reminder beeps again at the release if the sound switch is on.
class Reminders : public QObject
{
    Q_OBJECT
public:
    enum class Hold { Pause, Away, OffHours, Presenting };
    Q_ENUM(Hold)

    /// The rows' controls are looked up on form by name; makeWindow creates a row's
    /// reminder window at its first reminder. The beeper is the reminders' shared one.
    Reminders(QWidget *form, alerts::Beeper &beeper, std::function<alerts::ReminderWindow *(alerts::Slot)> makeWindow,
              QObject *parent = nullptr);
    ~Reminders() override;

    ReminderSlot &slot(alerts::Slot k) { return *m_slots[alerts::indexOf(k)]; }
    const ReminderSlot &slot(alerts::Slot k) const { return *m_slots[alerts::indexOf(k)]; }

    /// Adds why to the holds.
    void hold(Hold why);
    /// Takes why back; what no other reason holds goes on.
    void release(Hold why);
    /// Holds for why or takes it back, as held says.
    void setHeld(Hold why, bool held) { held ? hold(why) : release(why); }
    bool isHeld(Hold why) const { return m_holds & bit(why); }
    /// A countdown runs or is held.
    bool anyCounting() const;
    /// The times are in use and are not to be saved: a countdown runs or is held, or a
    /// pause or an absence holds the countdowns whether or not any runs.
    bool timesInUse() const;

Q_SIGNALS:
    /// A hold was given or taken back.
    void holdsChanged();

private:
    static unsigned bit(Hold why) { return 1u << unsigned(why); }
    void apply(unsigned before);

    alerts::Beeper &m_beeper;
    std::array<std::unique_ptr<ReminderSlot>, 3> m_slots;
    unsigned m_holds = 0;
};

} // namespace reminders
