#include "app/mainform.h"

#include "runtime/clicklabel.h"
#include "runtime/commandbutton.h"
#include "runtime/conversions.h"
#include "runtime/formbuilder.h"
#include "runtime/hooks.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"
#include "ui/windowdefs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QScreen>

#include <algorithm>

namespace app {

using runtime::control;

MainForm::MainForm(const runtime::Hooks &hooks, QWidget *parent)
    : QWidget(parent)
    , m_hooks(hooks)
    , m_store(hooks)
    , m_save(hooks, m_store, m_saved)
    , m_tips([this] { return new alerts::TipsWindow(this); })
{
    buildForm(this, ui::Form1());
    m_beeper = std::make_unique<alerts::Beeper>(control<QLineEdit>(this, "Text1"),
                                                control<runtime::Timer>(this, "Timer4"), m_hooks);
    m_reminders = std::make_unique<reminders::Reminders>(
        this, *m_beeper, [this](alerts::Slot k) { return new alerts::ReminderWindow(k, this, *m_beeper, m_hooks); });
    connectHandlers();

    // First position: centred on the screen.
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());

    Form_Load();
}

MainForm::~MainForm() = default;

void MainForm::connectHandlers()
{
    connect(slot(alerts::Slot::Water).check(), &QCheckBox::toggled, this, &MainForm::Check1_Click);
    connect(slot(alerts::Slot::EyeRest).check(), &QCheckBox::toggled, this, &MainForm::Check2_Click);
    connect(slot(alerts::Slot::Toilet).check(), &QCheckBox::toggled, this, &MainForm::Check3_Click);
    connect(control<runtime::ClickLabel>(this, "Label2"), &runtime::ClickLabel::Click, this, &MainForm::Label2_Click);
    connect(slot(alerts::Slot::Water).timer(), &QTimer::timeout, this, &MainForm::Timer1_Timer);
    connect(slot(alerts::Slot::EyeRest).timer(), &QTimer::timeout, this, &MainForm::Timer2_Timer);
    connect(slot(alerts::Slot::Toilet).timer(), &QTimer::timeout, this, &MainForm::Timer3_Timer);

    using KeyPress = void (MainForm::*)(int &);
    using LostFocus = void (MainForm::*)();
    const std::array<std::pair<KeyPress, LostFocus>, 9> boxHandlers{{
        {&MainForm::h_KeyPress, &MainForm::h_LostFocus},
        {&MainForm::m_KeyPress, &MainForm::m_LostFocus},
        {&MainForm::s_KeyPress, &MainForm::s_LostFocus},
        {&MainForm::h2_KeyPress, &MainForm::h2_LostFocus},
        {&MainForm::m2_KeyPress, &MainForm::m2_LostFocus},
        {&MainForm::s2_KeyPress, &MainForm::s2_LostFocus},
        {&MainForm::h3_KeyPress, &MainForm::h3_LostFocus},
        {&MainForm::m3_KeyPress, &MainForm::m3_LostFocus},
        {&MainForm::s3_KeyPress, &MainForm::s3_LostFocus},
    }};
    const auto boxes = timeBoxes();
    for (size_t k = 0; k < boxes.size(); ++k) {
        connect(boxes[k], &runtime::TextBox::KeyPress, this, boxHandlers[k].first);
        connect(boxes[k], &runtime::TextBox::LostFocus, this, boxHandlers[k].second);
    }

    connect(control<runtime::CommandButton>(this, "Command1"), &QPushButton::clicked, this, &MainForm::Command1_Click);
    connect(control<runtime::CommandButton>(this, "Command2"), &QPushButton::clicked, this, &MainForm::Command2_Click);
    connect(control<runtime::CommandButton>(this, "Command3"), &QPushButton::clicked, this, &MainForm::Command3_Click);
    connect(control<runtime::CommandButton>(this, "Command4"), &QPushButton::clicked, this, &MainForm::Command4_Click);
    connect(control<runtime::ClickLabel>(this, "Label8"), &runtime::ClickLabel::DblClick, this,
            &MainForm::Label8_DblClick);
    connect(control<runtime::Timer>(this, "Timer4"), &QTimer::timeout, this, &MainForm::Timer4_Timer);
}

std::array<runtime::TextBox *, 9> MainForm::timeBoxes() const
{
    std::array<runtime::TextBox *, 9> boxes{};
    for (size_t k = 0; k < boxes.size(); ++k)
        boxes[k] = m_reminders->slot(alerts::kSlots[k / 3]).fields()[k % 3].box();
    return boxes;
}

void MainForm::Form_Load()
{
    // The timers are off from their creation, so no tick, countdown or beep can happen
    // while the settings are read, even while a message about them is open.
    m_saved.set(m_store.LoadSettings(m_saved.values()));
    const auto boxes = timeBoxes();
    for (size_t k = 0; k < boxes.size(); ++k)
        boxes[k]->setText(runtime::doubleToText(m_saved.values()[k]));
    m_beeper->stop();
    for (const alerts::Slot k : alerts::kSlots)
        slot(k).stopAndClose();
}

void MainForm::Label2_Click()
{
    Q_EMIT startActionBegins();
    if (std::none_of(alerts::kSlots.begin(), alerts::kSlots.end(),
                     [this](alerts::Slot k) { return slot(k).check()->isChecked(); }))
        m_hooks.MsgBox(this, QStringLiteral("您尚未选择一栏进行计时！"));
    // Goes through the slots in any case; with nothing ticked no slot is ready.
    for (const alerts::Slot k : alerts::kSlots)
        slot(k).startOrStop();
}

void MainForm::Command4_Click()
{
    for (const alerts::Slot k : alerts::kSlots) {
        if (slot(k).isReady())
            slot(k).fillAdvice();
        else
            m_hooks.MsgBox(this, slot(k).notTickedMessage());
    }
}

void MainForm::Command1_Click()
{
    std::array<QString, settings::SavedIntervals::kCount> texts;
    for (size_t k = 0; k < texts.size(); ++k)
        texts[k] = slot(alerts::kSlots[k / 3]).fields()[k % 3].textForSave();
    m_save.run(this, m_reminders->timesInUse(), texts);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever other windows exist hidden.
    event->accept();
    QCoreApplication::quit();
}

} // namespace app
