// The input rules of the nine time boxes and the recommended intervals.
#include "app/conversions.h"
#include "app/mainform.h"
#include "forms/platform.h"
#include "forms/textbox.h"

void MainForm::TimeBox_KeyPress(int &keyAscii)
{
    // Only the digits and Backspace reach a time box.
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (!digit && keyAscii != 8)
        keyAscii = 0;
}

void MainForm::TimeBox_LostFocus(QLineEdit *box, int limit)
{
    // Always written, even when the text does not change.
    box->setText(conv::normalisedTimeText(box->text(), limit));
}

void MainForm::Command4_Click()
{
    struct Advice {
        const char *hours, *minutes, *seconds, *notTicked;
    };
    static const Advice advice[3] = {{"0", "30", "0", "喝水一栏未打勾"},
                                     {"1", "0", "0", "远眺一栏未打勾"},
                                     {"2", "0", "0", "厕所一栏未打勾"}};
    for (size_t k = 0; k < m_slots.size(); ++k) {
        Slot &slot = m_slots[k];
        if (slot.h->isEnabled()) {
            slot.h->setText(QString::fromUtf8(advice[k].hours));
            slot.m->setText(QString::fromUtf8(advice[k].minutes));
            slot.s->setText(QString::fromUtf8(advice[k].seconds));
        } else {
            forms::MsgBox(this, QString::fromUtf8(advice[k].notTicked));
        }
    }
}
