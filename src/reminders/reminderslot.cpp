#include "reminders/reminderslot.h"

#include "runtime/conversions.h"
#include "runtime/formbuilder.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTimer>

#include <utility>

namespace reminders {
namespace {

/// The controls of each slot and its recommended interval, in the order of alerts::kSlots.
struct SlotDef {
    const char *check, *hours, *minutes, *seconds, *timer;
    const char *adviceHours, *adviceMinutes, *adviceSeconds;
    const char *notTicked;
};

constexpr SlotDef kSlotDefs[3] = {
    {"Check1", "h", "m", "s", "Timer1", "0", "30", "0", "喝水一栏未打勾"},
    {"Check2", "h2", "m2", "s2", "Timer2", "1", "0", "0", "远眺一栏未打勾"},
    {"Check3", "h3", "m3", "s3", "Timer3", "2", "0", "0", "厕所一栏未打勾"},
};

} // namespace

using runtime::control;

ReminderSlot::ReminderSlot(QWidget *form, alerts::Slot slot, std::function<alerts::ReminderWindow *()> makeWindow,
                           QObject *parent)
    : QObject(parent)
    , m_slot(slot)
    , m_check(control<QCheckBox>(form, kSlotDefs[alerts::indexOf(slot)].check))
    , m_fields{TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].hours),
                         TimeField::kHoursLimit),
               TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].minutes),
                         TimeField::kMinutesSecondsLimit),
               TimeField(control<runtime::TextBox>(form, kSlotDefs[alerts::indexOf(slot)].seconds),
                         TimeField::kMinutesSecondsLimit)}
    , m_timer(control<runtime::Timer>(form, kSlotDefs[alerts::indexOf(slot)].timer))
    , m_make(std::move(makeWindow))
    , m_window([this] { return this->makeWindow(); })
{ }

alerts::ReminderWindow *ReminderSlot::makeWindow()
{
    alerts::ReminderWindow *window = m_make();
    // Connected before the window's load step draws the first message.
    connect(window, &alerts::ReminderWindow::reminded, this,
            [this](const QString &message) { Q_EMIT reminderOpened(m_slot, message); });
    m_made = window;
    for (QAction *action : std::as_const(m_reminderActions))
        offer(action);
    return window;
}

void ReminderSlot::setBoxesEnabled(bool enabled)
{
    for (TimeField &field : m_fields)
        field.box()->setEnabled(enabled);
}

void ReminderSlot::putRightForCounting()
{
    for (TimeField &field : m_fields)
        field.putRightForCounting();
}

bool ReminderSlot::isZero() const
{
    return m_fields[0].value() == 0 && m_fields[1].value() == 0 && m_fields[2].value() == 0;
}

bool ReminderSlot::isReady() const
{
    return m_fields[0].box()->isEnabled();
}

bool ReminderSlot::isCounting() const
{
    return m_timer->Enabled() || m_heldRunning;
}

Interval ReminderSlot::timeLeft() const
{
    return {m_fields[0].box()->text(), m_fields[1].box()->text(), m_fields[2].box()->text()};
}

void ReminderSlot::Check_Click()
{
    if (m_check->isChecked()) {
        setBoxesEnabled(true);
        Q_EMIT changed(m_slot);
        return;
    }
    for (TimeField &field : m_fields)
        field.setText(QStringLiteral("0"));
    setBoxesEnabled(false);
    // Still counting, it reminds at its next tick; a reminder waiting at zero is let go.
    if (isCounting())
        Q_EMIT stopped(m_slot, Stop::Cleared);
    m_waiting = false;
    Q_EMIT changed(m_slot);
}

void ReminderSlot::run()
{
    if (m_countdownHeld)
        m_heldRunning = true;
    else
        m_timer->setEnabled(true);
}

void ReminderSlot::startOrStop()
{
    if (!isReady())
        return; // idle, running or alerting: the start action does not reach it
    putRightForCounting();
    m_again = false; // whatever an addition started, the person has taken it over
    const bool counting = isCounting();
    if (isZero() || counting) {
        m_timer->setEnabled(false);
        m_heldRunning = false;
        if (counting)
            Q_EMIT stopped(m_slot, Stop::ByStartAction);
    } else {
        run();
    }
    Q_EMIT changed(m_slot);
}

void ReminderSlot::Timer_Timer()
{
    // The boxes are open from the start action until the first tick.
    const bool first = isReady();
    const Start how = std::exchange(m_again, false) ? Start::Again : Start::ByPerson;
    // Every tick keeps the boxes of a counting slot out of the user's reach.
    setBoxesEnabled(false);
    putRightForCounting();
    if (isZero()) {
        // Stop first: the reminder window blocks this tick until it is acknowledged,
        // while the other slots and the beeper keep ticking.
        m_timer->setEnabled(false);
        Q_EMIT stopped(m_slot, Stop::AtZero);
        remind();
        return;
    }
    if (first)
        Q_EMIT started(m_slot, timeLeft(), how);
    // One second less, with borrow; each box is read afresh.
    TimeField &h = hours(), &m = minutes(), &s = seconds();
    if (s.value() == 0) {
        s.setText(runtime::wholeToText(TimeField::kMinutesSecondsLimit));
        if (m.value() == 0) {
            m.setText(runtime::wholeToText(TimeField::kMinutesSecondsLimit));
            h.setText(runtime::doubleToText(h.value() - 1));
        } else {
            m.setText(runtime::doubleToText(m.value() - 1));
        }
    } else {
        s.setText(runtime::doubleToText(s.value() - 1));
    }
    Q_EMIT ticked(m_slot, timeLeft());
    Q_EMIT changed(m_slot);
}

void ReminderSlot::remind()
{
    if (!m_openingHeld) {
        openReminder();
        return;
    }
    if (!std::exchange(m_waiting, true))
        Q_EMIT reminderWaiting(m_slot);
    Q_EMIT changed(m_slot);
}

void ReminderSlot::openReminder()
{
    m_waiting = false;
    m_reminding = true;
    m_puttingOff = false;
    Q_EMIT changed(m_slot);
    alerts::ReminderWindow &window = *m_window;
    window.Show();
    // Show() returns once the window has gone, or, with the window still up, when the
    // program ends.
    const End how = window.isVisible() ? End::OpenAtExit
                    : std::exchange(m_puttingOff, false) ? End::PutOff
                                                         : End::Acknowledged;
    m_reminding = false;
    m_check->setChecked(false); // its reaction writes "0" and leaves the boxes disabled
    Q_EMIT reminderEnded(m_slot, how);
    Q_EMIT changed(m_slot);
}

void ReminderSlot::stopAndClose()
{
    m_timer->setEnabled(false);
    m_heldRunning = false;
    m_again = false;
    setBoxesEnabled(false);
}

void ReminderSlot::fillAdvice()
{
    hours().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceHours));
    minutes().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceMinutes));
    seconds().setText(QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].adviceSeconds));
}

QString ReminderSlot::notTickedMessage() const
{
    return QString::fromUtf8(kSlotDefs[alerts::indexOf(m_slot)].notTicked);
}

void ReminderSlot::countDownAgain(const Interval &interval)
{
    m_check->setChecked(true); // opens the boxes when the row was cleared
    hours().setText(interval.hours);
    minutes().setText(interval.minutes);
    seconds().setText(interval.seconds);
    setBoxesEnabled(true); // open until the first tick, as after the start action
    m_again = true;
    run();
    Q_EMIT changed(m_slot);
}

void ReminderSlot::putOff()
{
    if (!m_reminding)
        return;
    alerts::ReminderWindow &window = *m_window;
    // Only the innermost reminder takes input; one beneath it waits for its turn.
    if (!window.isVisible() || QApplication::activeModalWidget() != &window)
        return;
    m_puttingOff = true;
    window.dismiss();
}

void ReminderSlot::addReminderAction(QAction *action)
{
    m_reminderActions.append(action);
    connect(action, &QObject::destroyed, this, [this, action] { m_reminderActions.removeAll(action); });
    if (m_made)
        offer(action);
}

void ReminderSlot::offer(QAction *action)
{
    if (!m_reminderMenu) {
        // The window's labels and button leave a right click to the window itself. The
        // menu pops up and returns at once: the reminder's own wait goes on beneath it.
        m_reminderMenu = new QMenu(m_made);
        alerts::ReminderWindow *window = m_made;
        QMenu *menu = m_reminderMenu;
        window->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(window, &QWidget::customContextMenuRequested, menu,
                [window, menu](const QPoint &pos) { menu->popup(window->mapToGlobal(pos)); });
    }
    m_reminderMenu->addAction(action);
}

void ReminderSlot::holdCountdown(bool held)
{
    if (held == m_countdownHeld)
        return;
    m_countdownHeld = held;
    if (held) {
        if (m_timer->Enabled()) {
            m_timer->setEnabled(false);
            m_heldRunning = true;
        }
    } else if (std::exchange(m_heldRunning, false)) {
        m_timer->setEnabled(true);
    }
    Q_EMIT changed(m_slot);
}

void ReminderSlot::holdOpening(bool held)
{
    if (held == m_openingHeld)
        return;
    m_openingHeld = held;
    // Each waiting reminder opens from an event of its own, so that two of them nest as
    // two reminders falling due together do.
    if (!held && m_waiting)
        QTimer::singleShot(0, this, [this] {
            if (m_waiting && !m_openingHeld)
                openReminder();
        });
    Q_EMIT changed(m_slot);
}

} // namespace reminders
