// The main window Form1: three reminder slots, the start action, the countdowns and the
// command column. Each handler is named after its control and event and hands its work
// to the part of the program that owns it.
#pragma once

#include "alerts/beeper.h"
#include "alerts/tipswindow.h"
#include "app/reminderslot.h"
#include "runtime/lazy.h"
#include "settings/savecommand.h"
#include "settings/savedintervals.h"
#include "settings/settingsstore.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

namespace runtime {
struct Platform;
class TextBox;
} // namespace runtime

namespace app {

class MainForm : public QWidget
{
    Q_OBJECT
public:
    /// Builds the window and runs its load step (settings, boxes, timers); does not show
    /// it. Message boxes, the bell and random numbers go through platform.
    explicit MainForm(const runtime::Platform &platform, QWidget *parent = nullptr);
    ~MainForm() override;

    // Start-up.
    void Form_Load();

    // Reminder slots: selection, start action, countdown.
    void Check1_Click() { slot(alerts::Slot::Water).Check_Click(); }
    void Check2_Click() { slot(alerts::Slot::EyeRest).Check_Click(); }
    void Check3_Click() { slot(alerts::Slot::Toilet).Check_Click(); }
    void Label2_Click();
    void Timer1_Timer() { slot(alerts::Slot::Water).Timer_Timer(); }
    void Timer2_Timer() { slot(alerts::Slot::EyeRest).Timer_Timer(); }
    void Timer3_Timer() { slot(alerts::Slot::Toilet).Timer_Timer(); }

    // Time boxes: the key filter and the rule for leaving a box.
    void h_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void m_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void s_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void h2_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void m2_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void s2_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void h3_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void m3_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void s3_KeyPress(int &keyAscii) { TimeField::KeyPress(keyAscii); }
    void h_LostFocus() { slot(alerts::Slot::Water).hours().LostFocus(); }
    void m_LostFocus() { slot(alerts::Slot::Water).minutes().LostFocus(); }
    void s_LostFocus() { slot(alerts::Slot::Water).seconds().LostFocus(); }
    void h2_LostFocus() { slot(alerts::Slot::EyeRest).hours().LostFocus(); }
    void m2_LostFocus() { slot(alerts::Slot::EyeRest).minutes().LostFocus(); }
    void s2_LostFocus() { slot(alerts::Slot::EyeRest).seconds().LostFocus(); }
    void h3_LostFocus() { slot(alerts::Slot::Toilet).hours().LostFocus(); }
    void m3_LostFocus() { slot(alerts::Slot::Toilet).minutes().LostFocus(); }
    void s3_LostFocus() { slot(alerts::Slot::Toilet).seconds().LostFocus(); }
    void Command4_Click();

    // Settings.
    void Command1_Click();

    // Sound switch, beeper and tips.
    void Command2_Click() { m_beeper->switchOn(); }
    void Label8_DblClick() { m_beeper->switchOff(); }
    void Timer4_Timer() { m_beeper->ring(); }
    void Command3_Click() { m_tips->Show(); }

    ReminderSlot &slot(alerts::Slot k) { return *m_slots[alerts::indexOf(k)]; }
    /// The nine time boxes in saved-interval order.
    std::array<runtime::TextBox *, 9> timeBoxes() const;
    /// Whether any slot's countdown runs.
    bool anyCounting() const;
    /// Countdowns held back by an addition (a pause) count as running for the save command.
    void setCountdownsHeld(std::function<bool()> held) { m_countdownsHeld = std::move(held); }

    runtime::Lazy<alerts::ReminderWindow> &reminder(alerts::Slot k) { return slot(k).window(); }
    runtime::Lazy<alerts::TipsWindow> &tips() { return m_tips; }
    alerts::Beeper &beeper() { return *m_beeper; }
    const settings::SavedIntervals &savedIntervals() const { return m_saved; }

Q_SIGNALS:
    /// The start action begins, before it reads the slots: an addition holding
    /// countdowns back (a pause) lets go of them here.
    void startActionBegins();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();

    const runtime::Platform &m_platform;
    settings::SavedIntervals m_saved;
    settings::SettingsStore m_store;
    settings::SaveCommand m_save;
    std::unique_ptr<alerts::Beeper> m_beeper;
    std::array<std::unique_ptr<ReminderSlot>, 3> m_slots;
    runtime::Lazy<alerts::TipsWindow> m_tips;
    std::function<bool()> m_countdownsHeld;
};

} // namespace app
