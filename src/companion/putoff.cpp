#include "companion/putoff.h"

#include "reminders/reminders.h"

#include <QAction>

namespace companion {

using reminders::ReminderSlot;

PutOff::PutOff(reminders::Reminders &reminders, QObject *parent)
    : QObject(parent)
    , m_reminders(reminders)
{
    for (const alerts::Slot k : alerts::kSlots) {
        ReminderSlot &slot = reminders.slot(k);
        for (const int minutes : {kShortMinutes, kLongMinutes}) {
            auto *action = new QAction(caption(minutes), this);
            connect(action, &QAction::triggered, this, [this, k, minutes] { putOff(k, minutes); });
            slot.addReminderAction(action);
        }
        connect(&slot, &ReminderSlot::reminderEnded, this, [this, &slot](alerts::Slot k, reminders::End how) {
            if (how == reminders::End::PutOff)
                slot.countDownAgain(reminders::Interval::ofMinutes(m_minutes[alerts::indexOf(k)]));
        });
    }
}

QString PutOff::caption(int minutes)
{
    return QStringLiteral("%1 分钟后再提醒").arg(minutes);
}

void PutOff::putOff(alerts::Slot slot, int minutes)
{
    m_minutes[alerts::indexOf(slot)] = minutes;
    m_reminders.slot(slot).putOff();
}

} // namespace companion
