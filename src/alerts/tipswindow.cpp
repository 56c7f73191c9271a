#include "alerts/tipswindow.h"

#include "app/mainform.h"
#include "forms/commandbutton.h"
#include "forms/formbuilder.h"
#include "ui/windows.h"

TipsWindow::TipsWindow(QWidget *owner)
    : forms::Form(ui::Form5(), owner)
{
    connect(forms::control<forms::CommandButton>(this, "Command1"), &QPushButton::clicked, this,
            &TipsWindow::Command1_Click);
}

void MainForm::Command3_Click()
{
    (*m_tips)->Show();
}
