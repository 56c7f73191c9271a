// One reminder row of the main window and everything that happens to it: its countdown,
// the tick, the reminder that opens at zero and its acknowledgement. What it does is
// announced as signals, and the additions around the program steer it through its
// commands; nobody else needs to watch its controls.
#pragma once

#include "alerts/reminderwindow.h"
#include "alerts/slot.h"
#include "reminders/interval.h"
#include "reminders/timefield.h"
#include "runtime/lazy.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QMenu;
class QWidget;

namespace runtime {
class Timer;
}

namespace reminders {

/// How a countdown came to count: started by the person (ticked, typed, the start
/// action), or counting again at an addition's command (repeat, put off, eye rest).
enum class Start { ByPerson, Again };
/// Why a countdown stopped: it reached zero (its reminder follows), the start action
/// stopped it again before its first tick, or the person cleared the row while it counted.
enum class Stop { AtZero, ByStartAction, Cleared };
/// How a reminder ended: "我已知晓", put off, or still open when the program ended.
enum class End { Acknowledged, PutOff, OpenAtExit };

/// One reminder row: its check box, its hours, minutes and seconds boxes, its countdown
/// timer and its reminder window. The row keeps its state in its controls: the countdown
/// value is the text of the three boxes, the selection the check box, editability the
/// boxes' Enabled state and running the timer's Enabled state. Beside them it only
/// remembers what the additions asked of it (a hold, a reminder waiting for its opening).
class ReminderSlot : public QObject
{
    Q_OBJECT
public:
    /// The slot's controls are looked up on form by name. makeWindow creates the slot's
    /// reminder window at its first reminder.
    ReminderSlot(QWidget *form, alerts::Slot slot, std::function<alerts::ReminderWindow *()> makeWindow,
                 QObject *parent = nullptr);

    QCheckBox *check() const { return m_check; }
    runtime::Timer *timer() const { return m_timer; }
    TimeField &hours() { return m_fields[0]; }
    TimeField &minutes() { return m_fields[1]; }
    TimeField &seconds() { return m_fields[2]; }
    const std::array<TimeField, 3> &fields() const { return m_fields; }

    // The work of the row's handlers.

    /// The check box changed: ticking opens the boxes with their texts kept;
    /// unticking writes "0" into them and closes them.
    void Check_Click();
    /// The start action for this slot: a ready slot (its boxes open) with an interval of
    /// 0/0/0 is stopped, any other ready slot switched over (a second click before the
    /// first tick stops it again). Other slots are left alone.
    void startOrStop();
    /// One second of the countdown, or the reminder at 0/0/0.
    void Timer_Timer();
    /// Stopped with the boxes closed, as at start-up.
    void stopAndClose();
    /// The recommended interval into the boxes.
    void fillAdvice();
    /// What the user is told when the recommended interval cannot be filled in.
    QString notTickedMessage() const;

    /// Ticked and not counting yet: the boxes are open.
    bool isReady() const;
    /// The countdown runs, or would run but for a hold.
    bool isCounting() const;
    /// What the boxes show now.
    Interval timeLeft() const;
    /// At zero, its reminder waiting for the opening hold to end.
    bool isWaiting() const { return m_waiting; }
    /// Its reminder window is open.
    bool isReminderOpen() const { return m_reminding; }

    // Commands of the additions.

    /// Counts down again from interval, as if the person had ticked the row, typed the
    /// interval and used the start action: ticked, the boxes open until the first tick.
    /// While countdowns are held it waits for the hold's end.
    void countDownAgain(const Interval &interval);
    /// Puts the open reminder off: it goes, silent, as with "我已知晓", and ends as put
    /// off. Only the innermost of nested reminders can go; nothing happens otherwise.
    void putOff();
    /// Offers action on the reminder window's context menu (a right click anywhere on it).
    void addReminderAction(QAction *action);
    /// Holds the countdown where it stands (it goes on at the release), or lets it go.
    void holdCountdown(bool held);
    /// Holds the opening of a reminder that falls due meanwhile: the row waits at zero,
    /// ticked, and its reminder opens at the release.
    void holdOpening(bool held);

Q_SIGNALS:
    /// The countdown's first tick: it counts down from interval.
    void started(alerts::Slot slot, const reminders::Interval &interval, reminders::Start how);
    /// A second less; left is what the boxes show now.
    void ticked(alerts::Slot slot, const reminders::Interval &left);
    void stopped(alerts::Slot slot, reminders::Stop why);
    /// The reminder fell due while its opening is held: it waits.
    void reminderWaiting(alerts::Slot slot);
    /// The reminder window comes up with message.
    void reminderOpened(alerts::Slot slot, const QString &message);
    /// The reminder window went, and the row has been cleared as its tick does.
    void reminderEnded(alerts::Slot slot, reminders::End how);
    /// Anything a view of the row shows may have changed: running, held, the boxes' texts.
    void changed(alerts::Slot slot);

private:
    void setBoxesEnabled(bool enabled);
    void putRightForCounting();
    bool isZero() const;
    /// The countdown on, or kept for the hold's end.
    void run();
    /// At zero with the countdown stopped: the reminder opens, or waits for the opening.
    void remind();
    /// Shows the reminder and waits until it has gone; then the row is cleared.
    void openReminder();
    alerts::ReminderWindow *makeWindow();
    /// Puts action on the reminder window's context menu.
    void offer(QAction *action);

    alerts::Slot m_slot;
    QCheckBox *m_check;
    std::array<TimeField, 3> m_fields;
    runtime::Timer *m_timer;
    std::function<alerts::ReminderWindow *()> m_make;
    runtime::Lazy<alerts::ReminderWindow> m_window;
    QPointer<alerts::ReminderWindow> m_made; ///< the window, once made
    QMenu *m_reminderMenu = nullptr;         ///< the window's context menu, once it offers one
    QList<QAction *> m_reminderActions;
    bool m_countdownHeld = false; ///< an addition holds the countdown
    bool m_heldRunning = false;   ///< the countdown ran when held (or was started meanwhile)
    bool m_openingHeld = false;   ///< an addition holds the opening of reminders
    bool m_waiting = false;       ///< at zero, the reminder waits for the opening
    bool m_again = false;         ///< the next first tick counts again at a command
    bool m_reminding = false;     ///< the reminder window is up
    bool m_puttingOff = false;    ///< the open reminder goes because it is put off
};

} // namespace reminders
