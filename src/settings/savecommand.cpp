// The save command: the nine time boxes into the saved intervals, then into the file.
#include "app/conversions.h"
#include "app/mainform.h"
#include "forms/platform.h"
#include "forms/textbox.h"
#include "forms/timer.h"
#include "settings/module2.h"
#include "settings/savedintervals.h"

void MainForm::Command1_Click()
{
    if (m_slots[0].timer->Enabled() || m_slots[1].timer->Enabled() || m_slots[2].timer->Enabled()) {
        forms::MsgBox(this, QStringLiteral("正在计时中，无法进行保存"), QMessageBox::Warning, QStringLiteral("出错"));
        return;
    }
    const auto boxes = timeBoxes();
    for (size_t k = 0; k < boxes.size(); ++k) {
        // Clicking the button has already put the edited box right; a text that still is no
        // number is put right the same way rather than saved as garbage.
        std::optional<double> value = conv::strictToNumber(boxes[k]->text());
        if (!value) {
            TimeBox_LostFocus(boxes[k], limitOf(boxes[k]));
            value = conv::strictToNumber(boxes[k]->text());
        }
        Module1::savedIntervals[k] = value.value_or(0);
    }
    Module2::SaveSettings(this);
}
