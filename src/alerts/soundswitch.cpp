// The sound switch (Text1) and the beeper (Timer4).
#include "app/mainform.h"
#include "forms/platform.h"

#include <QLineEdit>

void MainForm::Command2_Click()
{
    m_text1->setText(QStringLiteral("开"));
}

void MainForm::Label8_DblClick()
{
    m_text1->setText(QStringLiteral("关"));
}

void MainForm::Timer4_Timer()
{
    forms::Beep();
}
