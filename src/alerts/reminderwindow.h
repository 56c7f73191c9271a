// The reminder windows of the three slots: banner, a message drawn at random when the
// window loads, and "我已知晓", which hides the window and silences the beeper.
#pragma once

#include "forms/form.h"

#include <QElapsedTimer>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

namespace forms {
class DesktopWindow;
class Timer;
} // namespace forms

class ReminderWindow : public forms::Form
{
    Q_OBJECT
public:
    /// slot: 0 water (Form2), 1 eye rest (Form3), 2 toilet (Form4).
    ReminderWindow(int slot, QWidget *owner, QLineEdit *soundSwitch, forms::Timer *beeper);

    /// The window's messages, in list order.
    static QStringList messages(int slot);
    /// The name of the label that shows the message: Label1 on Form2, Label2 on the others.
    static const char *messageLabelName(int slot);

    /// Starts the beeper unless the sound switch reads "关", and shows one message drawn
    /// uniformly from the list.
    void Form_Load() override;
    void Command1_Click();

    /// Shows the reminder modally over the main window, which is brought back first if
    /// it was minimized: a reminder must not open where the user cannot see it. On the
    /// desktop it shows on the workspace the user is on, above other programs' windows,
    /// without taking the keyboard focus from the program he is typing in; afterwards the
    /// focus goes back where it was.
    void Show();

    /// How long after the window comes on screen keystrokes are kept from pressing "我已知晓".
    static constexpr int kKeyGuardMs = 1000;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_slot;
    QLineEdit *m_soundSwitch;
    forms::Timer *m_beeper;
    QLabel *m_message;
    QPushButton *m_acknowledge;
    forms::DesktopWindow *m_desktop;
    QElapsedTimer m_shown; // since the window came on screen; invalid until then
};
