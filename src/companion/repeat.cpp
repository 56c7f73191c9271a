#include "companion/repeat.h"

#include "runtime/timer.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimerEvent>

#include <utility>

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
    // The first tick after a put-off reminder reads the few minutes, not the interval.
    const bool putOff = std::exchange(slot.putOffStarted, false);
    if (slot.firstTick && !putOff) {
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
    if (slot.firstTick)
        slot.counted = false; // the interval it read was 0/0/0
    if (const int minutes = std::exchange(slot.putOffMinutes, 0); minutes > 0) {
        startWith(slot, {QStringLiteral("0"), QString::number(minutes), QStringLiteral("0")});
        slot.putOffStarted = true;
        return;
    }
    // Not repeated: a slot the user cleared himself while it counted, and an interval
    // that was already 0/0/0 at the first tick (it would come back every second).
    if (!m_on() || !slot.tickedBefore || slot.firstTick || !slot.counted)
        return;
    startWith(slot, slot.interval);
}

void Repeat::startWith(Slot &slot, const std::array<QString, 3> &boxes)
{
    slot.controls.check->setChecked(true); // opens the boxes again
    for (size_t k = 0; k < boxes.size(); ++k)
        slot.controls.boxes[k]->setText(boxes[k]);
    m_start(slot.controls.timer);
}

void Repeat::startAgainIn(std::size_t index, int minutes)
{
    m_slots.at(index).putOffMinutes = minutes;
}

} // namespace companion
