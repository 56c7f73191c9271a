// The main window Form1: three reminder slots, the start action, the countdowns and the
// command column. Each handler is named after its control and event and hands its work
// to the part of the program that owns it.
#pragma once

#include "alerts/beeper.h"
#include "alerts/tipswindow.h"
#include "reminders/reminders.h"
#include "runtime/lazy.h"
#include "settings/savecommand.h"
#include "settings/savedintervals.h"
#include "settings/settingsstore.h"

#include <QWidget>

#include <array>
#include <memory>

namespace runtime {
struct Hooks;
class TextBox;
} // namespace runtime

namespace app {

class MainForm : public QWidget
{
    Q_OBJECT
public:
    /// Builds the window and runs its load step (settings, boxes, timers); does not show
    /// it. Message boxes, the bell and random numbers go through hooks.
    explicit MainForm(const runtime::Hooks &hooks, QWidget *parent = nullptr);
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
    void h_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void m_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void s_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void h2_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void m2_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void s2_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void h3_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void m3_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
    void s3_KeyPress(int &keyAscii) { reminders::TimeField::KeyPress(keyAscii); }
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

    /// The three rows, for the additions to listen to and steer.
    reminders::Reminders &rows() { return *m_reminders; }
    reminders::ReminderSlot &slot(alerts::Slot k) { return m_reminders->slot(k); }
    /// The nine time boxes in saved-interval order.
    std::array<runtime::TextBox *, 9> timeBoxes() const;

Q_SIGNALS:
    /// The start action begins, before it reads the slots: an addition holding
    /// countdowns back (a pause) lets go of them here.
    void startActionBegins();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectHandlers();

    const runtime::Hooks &m_hooks;
    settings::SavedIntervals m_saved;
    settings::SettingsStore m_store;
    settings::SaveCommand m_save;
    std::unique_ptr<alerts::Beeper> m_beeper;
    std::unique_ptr<reminders::Reminders> m_reminders;
    runtime::Lazy<alerts::TipsWindow> m_tips;
};

} // namespace app
