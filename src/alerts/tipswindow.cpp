#include "alerts/tipswindow.h"

#include "runtime/commandbutton.h"
#include "runtime/formbuilder.h"
#include "ui/windowdefs.h"

namespace alerts {

TipsWindow::TipsWindow(QWidget *owner)
    : runtime::Form(ui::Form5(), owner)
{
    connect(runtime::control<runtime::CommandButton>(this, "Command1"), &QPushButton::clicked, this,
            &TipsWindow::Command1_Click);
}

} // namespace alerts
