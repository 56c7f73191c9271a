#include "app/mainform.h"

#include "alerts/reminderwindow.h"
#include "alerts/tipswindow.h"
#include "app/conversions.h"
#include "forms/clicklabel.h"
#include "forms/commandbutton.h"
#include "forms/formbuilder.h"
#include "forms/textbox.h"
#include "forms/timer.h"
#include "settings/module2.h"
#include "settings/savedintervals.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>

using forms::control;

MainForm::MainForm(QWidget *parent)
    : QWidget(parent)
{
    buildForm(this, ui::Form1());

    const char *const names[3][6] = {{"Check1", "h", "m", "s", "Timer1"},
                                     {"Check2", "h2", "m2", "s2", "Timer2"},
                                     {"Check3", "h3", "m3", "s3", "Timer3"}};
    for (size_t k = 0; k < m_slots.size(); ++k) {
        m_reminders[k] = std::make_unique<forms::Lazy<ReminderWindow>>(
            [this, k] { return new ReminderWindow(int(k), this, m_text1, m_timer4); });
        m_slots[k] = Slot{control<QCheckBox>(this, names[k][0]), control<forms::TextBox>(this, names[k][1]),
                          control<forms::TextBox>(this, names[k][2]), control<forms::TextBox>(this, names[k][3]),
                          control<forms::Timer>(this, names[k][4]), m_reminders[k].get()};
    }
    m_timer4 = control<forms::Timer>(this, "Timer4");
    m_text1 = control<QLineEdit>(this, "Text1");
    m_tips = std::make_unique<forms::Lazy<TipsWindow>>([this] { return new TipsWindow(this); });

    connect(m_slots[0].check, &QCheckBox::toggled, this, &MainForm::Check1_Click);
    connect(m_slots[1].check, &QCheckBox::toggled, this, &MainForm::Check2_Click);
    connect(m_slots[2].check, &QCheckBox::toggled, this, &MainForm::Check3_Click);
    connect(control<forms::ClickLabel>(this, "Label2"), &forms::ClickLabel::Click, this, &MainForm::Label2_Click);
    connect(m_slots[0].timer, &QTimer::timeout, this, &MainForm::Timer1_Timer);
    connect(m_slots[1].timer, &QTimer::timeout, this, &MainForm::Timer2_Timer);
    connect(m_slots[2].timer, &QTimer::timeout, this, &MainForm::Timer3_Timer);
    for (forms::TextBox *box : timeBoxes()) {
        box->onKeyPress = &MainForm::TimeBox_KeyPress;
        connect(box, &forms::TextBox::LostFocus, this, [box] { TimeBox_LostFocus(box, limitOf(box)); });
    }
    connect(control<forms::CommandButton>(this, "Command1"), &QPushButton::clicked, this, &MainForm::Command1_Click);
    connect(control<forms::CommandButton>(this, "Command2"), &QPushButton::clicked, this, &MainForm::Command2_Click);
    connect(control<forms::CommandButton>(this, "Command3"), &QPushButton::clicked, this, &MainForm::Command3_Click);
    connect(control<forms::CommandButton>(this, "Command4"), &QPushButton::clicked, this, &MainForm::Command4_Click);
    connect(control<forms::ClickLabel>(this, "Label8"), &forms::ClickLabel::DblClick, this,
            &MainForm::Label8_DblClick);
    connect(m_timer4, &QTimer::timeout, this, &MainForm::Timer4_Timer);

    // First position: centred on the screen.
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());

    Form_Load();
}

MainForm::~MainForm() = default;

std::array<forms::TextBox *, 9> MainForm::timeBoxes() const
{
    return {m_slots[0].h, m_slots[0].m, m_slots[0].s, m_slots[1].h, m_slots[1].m,
            m_slots[1].s, m_slots[2].h, m_slots[2].m, m_slots[2].s};
}

int MainForm::limitOf(const QLineEdit *box)
{
    return box->objectName().startsWith(QLatin1Char('h')) ? kHoursLimit : kMinutesSecondsLimit;
}

void MainForm::Form_Load()
{
    // The timers are off from their creation, so no tick, countdown or beep can happen
    // while the settings are read, even while a message about them is open.
    Module2::LoadSettings();
    const auto boxes = timeBoxes();
    for (size_t k = 0; k < boxes.size(); ++k)
        boxes[k]->setText(conv::doubleToText(Module1::savedIntervals[k]));
    m_timer4->setEnabled(false);
    for (Slot &slot : m_slots) {
        slot.timer->setEnabled(false);
        slot.h->setEnabled(false);
        slot.m->setEnabled(false);
        slot.s->setEnabled(false);
    }
}

void MainForm::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever other windows exist hidden.
    event->accept();
    QCoreApplication::quit();
}
