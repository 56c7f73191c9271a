#include "companion/eyerest.h"

#include "reminders/reminderslot.h"

namespace companion {

using reminders::ReminderSlot;

EyeRest::EyeRest(reminders::ReminderSlot &eyes, QObject *parent)
    : QObject(parent)
    , m_eyes(eyes)
{
    connect(&eyes, &ReminderSlot::started, this,
            [this](alerts::Slot, const reminders::Interval &from, reminders::Start how) {
                if (how == reminders::Start::ByPerson)
                    m_interval = from;
            });
    connect(&eyes, &ReminderSlot::stopped, this, [this](alerts::Slot, reminders::Stop why) {
        if (why != reminders::Stop::AtZero)
            m_interval.reset();
    });
}

void EyeRest::back(std::chrono::seconds absence, std::chrono::minutes away)
{
    // Only a countdown that is still on its way: a reminder already up stays.
    if (!m_enabled || absence < away || !m_interval || !m_eyes.isCounting())
        return;
    m_eyes.countDownAgain(*m_interval);
    Q_EMIT rested(absence);
}

} // namespace companion
