#include "companion/repeat.h"

#include "reminders/reminders.h"

namespace companion {

using reminders::ReminderSlot;

Repeat::Repeat(reminders::Reminders &reminders, std::function<bool()> on, QObject *parent)
    : QObject(parent)
    , m_on(std::move(on))
{
    for (const alerts::Slot k : alerts::kSlots) {
        ReminderSlot &slot = reminders.slot(k);
        std::optional<reminders::Interval> &interval = m_intervals[alerts::indexOf(k)];
        connect(&slot, &ReminderSlot::started, this,
                [&interval](alerts::Slot, const reminders::Interval &from, reminders::Start how) {
                    if (how == reminders::Start::ByPerson)
                        interval = from;
                });
        connect(&slot, &ReminderSlot::stopped, this, [&interval](alerts::Slot, reminders::Stop why) {
            if (why != reminders::Stop::AtZero)
                interval.reset();
        });
        connect(&slot, &ReminderSlot::reminderEnded, this, [this, &slot, &interval](alerts::Slot, reminders::End how) {
            if (how == reminders::End::Acknowledged && interval && m_on())
                slot.countDownAgain(*interval);
        });
    }
}

} // namespace companion
