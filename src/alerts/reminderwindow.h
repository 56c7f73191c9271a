// The reminder windows of the three slots: banner, a message drawn at random each time
// the window appears, and "我已知晓", which hides the window and silences the beeper.
#pragma once

#include "alerts/slot.h"
#include "runtime/form.h"

#include <QElapsedTimer>
#include <QStringList>

class QLabel;
class QPushButton;

namespace platform {
class Attention;
class DesktopWindow;
}

namespace runtime {
struct Hooks;
}

namespace alerts {

class Beeper;

class ReminderWindow : public runtime::Form
{
    Q_OBJECT
public:
    /// The beeper is shared by the three windows; the hooks give the random numbers.
    ReminderWindow(Slot slot, QWidget *owner, Beeper &beeper, const runtime::Hooks &hooks);

    /// The window's messages, in list order.
    static QStringList messages(Slot slot);
    /// The name of the label that shows the message: Label1 on Form2, Label2 on the others.
    static const char *messageLabelName(Slot slot);

    /// The load step, at creation, right before the first showing: the first reminder.
    void Form_Load() override;
    void Command1_Click() { dismiss(); }

    /// The reminder goes: the window is hidden and the beeper silenced.
    void dismiss();

    /// How long after the window comes on screen keystrokes are kept from pressing "我已知晓".
    static constexpr int kKeyGuardMs = 1000;

Q_SIGNALS:
    /// The window reminds with message: at its load step for the first showing, before
    /// each later one.
    void reminded(const QString &message);

protected:
    /// Every showing after the first reminds again (the first did so at load). The main
    /// window is brought back first if it was minimized: a reminder must not open where
    /// the user cannot see it. On the desktop it shows on the workspace the user is on,
    /// above other programs' windows, without taking the keyboard focus from the program
    /// he is typing in.
    void beforeShow() override;
    /// As it is acknowledged, the focus goes back where it was before the reminder.
    void beforeHide() override;
    void afterShow() override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// What each showing does: starts the beeper unless the sound switch reads "关",
    /// re-seeds the random numbers and shows one message drawn uniformly from the list.
    void remind();

    Slot m_slot;
    Beeper &m_beeper;
    const runtime::Hooks &m_hooks;
    QLabel *m_message;
    QPushButton *m_acknowledge;
    platform::DesktopWindow *m_desktop;
    platform::Attention *m_attention;
    QElapsedTimer m_shown;     ///< since the window came on screen; invalid until then
    bool m_justLoaded = false; ///< the load step has reminded for the coming first showing
};

} // namespace alerts
