#include "companion/presentationhold.h"

#include "platform/donotdisturb.h"
#include "reminders/reminders.h"

#include <algorithm>

namespace companion {

using Hold = reminders::Reminders::Hold;
using reminders::ReminderSlot;

PresentationHold::PresentationHold(platform::DoNotDisturb &detector, reminders::Reminders &reminders, QObject *parent)
    : QObject(parent)
    , m_detector(detector)
    , m_reminders(reminders)
{
    connect(&detector, &platform::DoNotDisturb::changed, this, &PresentationHold::update);
    for (const alerts::Slot k : alerts::kSlots) {
        ReminderSlot &slot = reminders.slot(k);
        connect(&slot, &ReminderSlot::changed, this, &PresentationHold::follow);
        // At zero, right before the reminder would open: the desktop is asked now, so that
        // a state it does not announce (a window gone full screen) holds the opening too.
        connect(&slot, &ReminderSlot::stopped, this, [this](alerts::Slot, reminders::Stop why) {
            if (why == reminders::Stop::AtZero)
                update();
        });
    }
}

PresentationHold::~PresentationHold()
{
    m_reminders.release(Hold::Presenting);
}

void PresentationHold::setEnabled(bool on)
{
    m_enabled = on;
    follow();
    update();
}

void PresentationHold::follow()
{
    const bool wanted = m_enabled && std::any_of(alerts::kSlots.begin(), alerts::kSlots.end(), [this](alerts::Slot k) {
                            const ReminderSlot &slot = m_reminders.slot(k);
                            return slot.isCounting() || slot.isReminderOpen() || slot.isWaiting();
                        });
    if (wanted == m_following)
        return;
    m_following = wanted;
    if (wanted) {
        m_detector.start();
        update();
    } else {
        m_detector.stop();
    }
}

void PresentationHold::update()
{
    m_reminders.setHeld(Hold::Presenting, m_enabled && m_detector.isOn());
}

} // namespace companion
