// The main window Form1: three reminder slots, the start action, the countdowns and the
// command column. Each handler is named after its control and event; what the three slots
// or the nine time boxes share is one routine that takes the slot or the box.
#pragma once

#include "forms/form.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;

namespace forms {
class ClickLabel;
class CommandButton;
class TextBox;
class Timer;
} // namespace forms

class ReminderWindow;
class TipsWindow;

/// One reminder row. It holds only its controls: the countdown value is the text of the
/// three boxes, the selection the check box, editability the boxes' Enabled state and
/// running the timer's Enabled state.
struct Slot {
    QCheckBox *check = nullptr;
    forms::TextBox *h = nullptr;
    forms::TextBox *m = nullptr;
    forms::TextBox *s = nullptr;
    forms::Timer *timer = nullptr;
    forms::Lazy<ReminderWindow> *window = nullptr;
};

/// The largest value an hours box keeps when it loses the focus.
inline constexpr int kHoursLimit = 23;
/// The largest value a minutes or seconds box keeps when it loses the focus.
inline constexpr int kMinutesSecondsLimit = 59;

class MainForm : public QWidget
{
    Q_OBJECT
public:
    /// Builds the window and runs its load step (settings, boxes, timers); does not show it.
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    // Start-up.
    void Form_Load();

    // Reminder slots: selection, start action, countdown.
    void Check1_Click() { slotCheckClick(m_slots[0]); }
    void Check2_Click() { slotCheckClick(m_slots[1]); }
    void Check3_Click() { slotCheckClick(m_slots[2]); }
    void Label2_Click();
    void Timer1_Timer() { slotTick(m_slots[0]); }
    void Timer2_Timer() { slotTick(m_slots[1]); }
    void Timer3_Timer() { slotTick(m_slots[2]); }

    // Time boxes: shared by the nine boxes, which differ only in their upper limit.
    static void TimeBox_KeyPress(int &keyAscii);
    static void TimeBox_LostFocus(QLineEdit *box, int limit);
    void Command4_Click();

    // Settings.
    void Command1_Click();

    // Sound switch, beeper and tips.
    void Command2_Click();
    void Label8_DblClick();
    void Timer4_Timer();
    void Command3_Click();

    /// The slot table, in the order water, eye rest, toilet.
    std::array<Slot, 3> &slotTable() { return m_slots; }
    /// The nine time boxes in saved-interval order.
    std::array<forms::TextBox *, 9> timeBoxes() const;
    /// The upper limit of a time box's field kind.
    static int limitOf(const QLineEdit *box);

    forms::Lazy<ReminderWindow> &reminder(int slot) { return *m_reminders[size_t(slot)]; }
    forms::Lazy<TipsWindow> &tips() { return *m_tips; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void slotCheckClick(Slot &slot);
    void slotTick(Slot &slot);
    double countValue(forms::TextBox *box);

    std::array<Slot, 3> m_slots{};
    std::array<std::unique_ptr<forms::Lazy<ReminderWindow>>, 3> m_reminders;
    std::unique_ptr<forms::Lazy<TipsWindow>> m_tips;
    forms::Timer *m_timer4 = nullptr;
    QLineEdit *m_text1 = nullptr;
};
