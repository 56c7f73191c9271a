// Slot selection, the start action and the once-a-second countdown with its alert.
#include "alerts/reminderwindow.h"
#include "app/conversions.h"
#include "app/mainform.h"
#include "forms/platform.h"
#include "forms/textbox.h"
#include "forms/timer.h"

#include <QCheckBox>

#include <cmath>

void MainForm::slotCheckClick(Slot &slot)
{
    // Ticking opens the slot's boxes with their texts kept; unticking clears and closes them.
    if (slot.check->isChecked()) {
        slot.h->setEnabled(true);
        slot.m->setEnabled(true);
        slot.s->setEnabled(true);
    }
    if (!slot.check->isChecked()) {
        slot.h->setText(QStringLiteral("0"));
        slot.m->setText(QStringLiteral("0"));
        slot.s->setText(QStringLiteral("0"));
        slot.h->setEnabled(false);
        slot.m->setEnabled(false);
        slot.s->setEnabled(false);
    }
}

double MainForm::countValue(forms::TextBox *box)
{
    // The countdown works on whole numbers of 0 or more. A text that is not one (emptied
    // and not yet left, pasted junk, a fraction or a negative value from a hand-edited
    // settings file) is first put right by the box's own rule for losing the focus, so
    // that every countdown ends at 0/0/0. Whole numbers above the range count as they are.
    const std::optional<double> value = conv::strictToNumber(box->text());
    if (value && *value >= 0 && *value == std::floor(*value))
        return *value;
    TimeBox_LostFocus(box, limitOf(box));
    return conv::strictToNumber(box->text()).value_or(0);
}

void MainForm::Label2_Click()
{
    if (!m_slots[0].check->isChecked() && !m_slots[1].check->isChecked() && !m_slots[2].check->isChecked())
        forms::MsgBox(this, QStringLiteral("您尚未选择一栏进行计时！"));
    // Goes through the slots in any case; with nothing ticked no slot is ready.
    for (Slot &slot : m_slots) {
        if (!slot.h->isEnabled())
            continue; // idle, running or alerting: the start action does not reach it
        const double hours = countValue(slot.h);
        const double minutes = countValue(slot.m);
        const double seconds = countValue(slot.s);
        if (hours == 0 && minutes == 0 && seconds == 0)
            slot.timer->setEnabled(false);
        else
            slot.timer->setEnabled(!slot.timer->Enabled()); // a second click before the first tick stops it
    }
}

void MainForm::slotTick(Slot &slot)
{
    // Every tick keeps the boxes of a counting slot out of the user's reach.
    slot.h->setEnabled(false);
    slot.m->setEnabled(false);
    slot.s->setEnabled(false);
    const double hours = countValue(slot.h);
    const double minutes = countValue(slot.m);
    const double seconds = countValue(slot.s);
    if (hours == 0 && minutes == 0 && seconds == 0) {
        // Stop first: the reminder window blocks this tick until it is acknowledged,
        // while the other slots and the beeper keep ticking.
        slot.timer->setEnabled(false);
        (**slot.window).Show();
        slot.check->setChecked(false); // its reaction writes "0" and leaves the boxes disabled
        return;
    }
    // One second less, with borrow; each box is read afresh.
    if (countValue(slot.s) == 0) {
        slot.s->setText(conv::wholeToText(kMinutesSecondsLimit));
        if (countValue(slot.m) == 0) {
            slot.m->setText(conv::wholeToText(kMinutesSecondsLimit));
            slot.h->setText(conv::doubleToText(countValue(slot.h) - 1));
        } else {
            slot.m->setText(conv::doubleToText(countValue(slot.m) - 1));
        }
    } else {
        slot.s->setText(conv::doubleToText(countValue(slot.s) - 1));
    }
}
