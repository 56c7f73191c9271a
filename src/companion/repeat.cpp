#include "companion/repeat.h"

#include "runtime/timer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimerEvent>

namespace companion {

Repeat::Repeat(std::vector<SlotControls> rows, std::function<bool()> on, std::function<void(runtime::Timer *)> start,
               QObject *parent)
    : QObject(parent)
    , m_on(std::move(on))
    , m_start(std::move(start))
{
    m_slots.reserve(rows.size());
    for (SlotControls &controls : rows) {
        m_slots.emplace_back();
        m_slots.back().controls = std::move(controls);
    }
    for (Slot &slot : m_slots) {
        slot.controls.timer->installEventFilter(this);
        connect(slot.controls.timer, &QTimer::timeout, this, [this, &slot] { afterTick(slot); });
    }
}

bool Repeat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Timer) {
        for (Slot &slot : m_slots) {
            if (watched == slot.controls.timer
                && static_cast<QTimerEvent *>(event)->timerId() == slot.controls.timer->timerId())
                beforeTick(slot);
        }
    }
    return QObject::eventFilter(watched, event);
}

void Repeat::beforeTick(Slot &slot)
{
    slot.tickedBefore = slot.controls.check->isChecked();
    // The boxes are open only until a countdown's first tick closes them.
    slot.firstTick = slot.controls.boxes[0]->isEnabled();
    if (slot.firstTick) {
        for (size_t k = 0; k < slot.interval.size(); ++k)
            slot.interval[k] = slot.controls.boxes[k]->text();
        slot.counted = true;
    }
}

void Repeat::afterTick(Slot &slot)
{
    // A tick that leaves its countdown stopped has found 0/0/0, shown the reminder and,
    // the reminder acknowledged, cleared the slot.
    if (slot.controls.timer->Enabled())
        return;
    // Not repeated: a slot the user cleared himself while it counted, and an interval
    // that was already 0/0/0 at the first tick (it would come back every second).
    if (!m_on() || !slot.tickedBefore || slot.firstTick || !slot.counted)
        return;
    slot.controls.check->setChecked(true); // opens the boxes again
    for (size_t k = 0; k < slot.interval.size(); ++k)
        slot.controls.boxes[k]->setText(slot.interval[k]);
    m_start(slot.controls.timer);
}

} // namespace companion
