#include "app/reminderslot.h"

#include "runtime/conversions.h"
#include "runtime/formbuilder.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QCheckBox>

namespace app {
namespace {

/// The controls of each slot and its recommended interval, in the order of alerts::kSlots.
struct SlotDef {
    const char *check, *hours, *minutes, *seconds, *timer;
    const char *adviceHours, *adviceMinutes, *adviceSeconds;
    const char *notTicked;
};

constexpr SlotDef kSlotDefs[3] = {
    {"Check1", "h", "m", "s", "Timer1", "0", "30", "0", "喝水一栏未打勾"},
    {"Check2", "h2", "m2", "s2", "Timer2", "1", "0", "0", "远眺一栏未打勾"},
    {"Check3", "h3", "m3", "s3", "Timer3", "2", "0", "0", "厕所一栏未打勾"},
};

} // namespace

using runtime::control;

ReminderSlot::ReminderSlot(QWidget *form, alerts::Slot slot, std::function<alerts::ReminderWindow *()> makeWindow)
    : m_slot(slot)
    , m_check(control<QCheckBox>(form, kSlotDefs[alerts::indexOf(slot)].check))
    , m_fields{TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].hours),
                         TimeField::kHoursLimit),
               TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].minutes),
                         TimeField::kMinutesSecondsLimit),
               TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].seconds),
                         TimeField::kMinutesSecondsLimit)}
    , m_timer(control<runtime::Timer>(form, kSlotDefs[alerts::indexOf(slot)].timer))
    , m_window(std::move(makeWindow))
{ }

void ReminderSlot::setBoxesEnabled(bool enabled)
{
    for (TimeField &field : m_fields)
        field.box()->setEnabled(enabled);
}

void ReminderSlot::putRightForCounting()
{
    for (TimeField &field : m_fields)
        field.putRightForCounting();
}

bool ReminderSlot::isZero() const
{
    return m_fields[0].value() == 0 && m_fields[1].value() == 0 && m_fields[2].value() == 0;
}

bool ReminderSlot::isReady() const
{
    return m_fields[0].box()->isEnabled();
}

bool ReminderSlot::isCounting() const
{
    return m_timer->Enabled();
}

void ReminderSlot::Check_Click()
{
    if (m_check->isChecked()) {
        setBoxesEnabled(true);
        return;
    }
    for (TimeField &field : m_fields)
        field.setText(QStringLiteral("0"));
    setBoxesEnabled(false);
}

void ReminderSlot::startOrStop()
{
    if (!isReady())
        return; // idle, running or alerting: the start action does not reach it
    putRightForCounting();
    if (isZero())
        m_timer->setEnabled(false);
    else
        m_timer->setEnabled(!m_timer->Enabled());
}

void ReminderSlot::Timer_Timer()
{
    // Every tick keeps the boxes of a counting slot out of the user's reach.
    setBoxesEnabled(false);
    putRightForCounting();
    if (isZero()) {
        // Stop first: the reminder window blocks this tick until it is acknowledged,
        // while the other slots and the beeper keep ticking.
        m_timer->setEnabled(false);
        m_window->Show();
        m_check->setChecked(false); // its reaction writes "0" and leaves the boxes disabled
        return;
    }
    // One second less, with borrow; each box is read afresh.
    TimeField &h = hours(), &m = minutes(), &s = seconds();
    if (s.value() == 0) {
        s.setText(runtime::wholeToText(TimeField::kMinutesSecondsLimit));
        if (m.value() == 0) {
            m.setText(runtime::wholeToText(TimeField::kMinutesSecondsLimit));
            h.setText(runtime::doubleToText(h.value() - 1));
        } else {
            m.setText(runtime::doubleToText(m.value() - 1));
        }
    } else {
        s.setText(runtime::doubleToText(s.value() - 1));
    }
}

void ReminderSlot::stopAndClose()
{
    m_timer->setEnabled(false);
    setBoxesEnabled(false);
}

void ReminderSlot::fillAdvice()
{
    hours().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceHours));
    minutes().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceMinutes));
    seconds().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceSeconds));
}

QString ReminderSlot::notTickedMessage() const
{
    return QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].notTicked);
}

} // namespace app
