// The input rules of the nine time boxes and the recommended intervals.
#include "app/conversions.h"
#include "app/mainform.h"
#include "forms/platform.h"
#include "forms/textbox.h"

#include <algorithm>
#include <cmath>

void MainForm::TimeBox_KeyPress(int &keyAscii)
{
    // Only the digits and Backspace reach a time box.
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (!digit && keyAscii != 8)
        keyAscii = 0;
}

void MainForm::TimeBox_LostFocus(QLineEdit *box, int limit)
{
    // The whole part of the leading number, clamped to 0..limit, in plain digits. A number
    // too large for a double reads as infinity and so ends at the limit; clamping before
    // the conversion to an integer keeps that conversion defined.
    const double whole = std::floor(conv::leadingNumber(box->text()));
    const double clamped = std::min(std::max(whole, 0.0), double(limit));
    box->setText(conv::wholeToText(static_cast<long long>(clamped)));
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
