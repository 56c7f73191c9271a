#pragma once

#include "companion/slotcontrols.h"

#include <QObject>

#include <array>
#include <cstddef>
#include <functional>
#include <vector>

namespace runtime {
class Timer;
}

namespace companion {

/// "到时后自动重新计时": after "我已知晓" a slot is not left cleared but starts again with
/// the interval it counted, as if the user had ticked it, typed that interval and used
/// the start action. The interval is the one the slot's first tick read from its boxes
/// (they stay open from the start action until then).
///
/// A reminder put off (startAgainIn()) starts its slot again in any case, counting the
/// few minutes it was put off for; the slot's own interval is kept for the repeat after
/// the reminder that comes then.
///
/// It watches each countdown tick from both sides: just before it (an event filter on
/// the timer) and right after it (connected after the main window's own tick), by which
/// time a reminder the tick opened has been acknowledged and the tick has cleared the slot.
class Repeat : public QObject
{
    Q_OBJECT
public:
    /// on: whether the choice is ticked, asked at each acknowledgement. start: starts a
    /// countdown (during a pause it is held for the pause's end instead).
    Repeat(std::vector<SlotControls> rows, std::function<bool()> on, std::function<void(runtime::Timer *)> start,
           QObject *parent = nullptr);

    /// The reminder of the slot at index, open now, is put off: once it has gone, its slot
    /// counts down from 0/minutes/0.
    void startAgainIn(std::size_t index, int minutes);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Slot {
        SlotControls controls;
        std::array<QString, 3> interval; ///< the boxes' texts at the first tick
        bool counted = false;            ///< a first tick has read the interval
        bool tickedBefore = false;       ///< the check box was ticked when the tick began
        bool firstTick = false;          ///< the tick under way is the countdown's first
        int putOffMinutes = 0;           ///< the open reminder is put off for so long
        bool putOffStarted = false;      ///< the countdown of a put-off reminder starts
    };
    void startWith(Slot &slot, const std::array<QString, 3> &boxes);
    void beforeTick(Slot &slot);
    void afterTick(Slot &slot);

    std::vector<Slot> m_slots;
    std::function<bool()> m_on;
    std::function<void(runtime::Timer *)> m_start;
};

} // namespace companion
