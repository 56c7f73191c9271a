#include "companion/companion.h"

#include "companion/awayhold.h"
#include "companion/companionmenu.h"
#include "companion/eyerest.h"
#include "companion/history.h"
#include "companion/historywindow.h"
#include "companion/optionswindow.h"
#include "companion/presentationhold.h"
#include "companion/putoff.h"
#include "companion/repeat.h"
#include "companion/tray.h"
#include "companion/workinghours.h"
#include "platform/notifier.h"
#include "reminders/reminders.h"
#include "runtime/hooks.h"

#include <QApplication>
#include <QTimer>

namespace companion {

using namespace std::chrono_literals;
using reminders::ReminderSlot;

Companion::Companion(Setup setup)
    : QObject(setup.mainWindow)
    , m_window(setup.mainWindow)
    , m_reminders(*setup.reminders)
    , m_hooks(*setup.hooks)
    , m_options(setup.optionsPath)
    , m_autostart(setup.program, setup.autostartPath)
    , m_menu(std::make_unique<CompanionMenu>(m_window))
{
    if (m_options.read() == Options::Read::Damaged) {
        m_hooks.Error(nullptr,
                      QStringLiteral("选项文件已损坏，无法读出：\n%1\n已改用默认选项。").arg(m_options.path()));
        m_options.write(); // said once: the next start finds the defaults
    }
    m_history = std::make_unique<History>(setup.historyPath, setup.clock);

    m_pause = std::make_unique<Pause>(m_reminders, setup.clock, this);
    m_repeat = std::make_unique<Repeat>(m_reminders, [this] { return m_options.choices().autoRepeat; }, this);
    m_putOff = std::make_unique<PutOff>(m_reminders, this);
    m_notifier = std::make_unique<platform::Notifier>(
        platform::Notifier::Setup{QStringLiteral("Quorvane"), setup.iconName, setup.desktopEntry,
                                  [this] { return m_tray->icon(); }},
        this);
    m_detector = std::make_unique<platform::AwayDetector>(std::move(setup.idleTime), this);
    m_awayHold = std::make_unique<AwayHold>(*m_detector, m_reminders, setup.clock, this);
    m_eyeRest = std::make_unique<EyeRest>(m_reminders.slot(alerts::Slot::EyeRest), this);
    m_doNotDisturb = std::make_unique<platform::DoNotDisturb>(std::move(setup.doNotDisturb), this);
    m_presentationHold = std::make_unique<PresentationHold>(*m_doNotDisturb, m_reminders, this);
    m_workingHours = std::make_unique<WorkingHours>(m_reminders, setup.clock, this);
    m_tray = std::make_unique<Tray>(setup.icon, m_menu.get(), m_reminders, *m_pause, *m_awayHold, this);

    // Each reminder goes out as a notification and into the record, as it opens and ends.
    for (const alerts::Slot k : alerts::kSlots) {
        ReminderSlot &slot = m_reminders.slot(k);
        connect(&slot, &ReminderSlot::reminderOpened, this, [this](alerts::Slot slot, const QString &message) {
            history().opened(slot);
            m_notifier->notify(int(alerts::indexOf(slot)), QStringLiteral("到时啦"),
                               alerts::topicOf(slot) + QStringLiteral("：") + message,
                               PutOff::caption(PutOff::kShortMinutes));
        });
        connect(&slot, &ReminderSlot::reminderEnded, this, [this](alerts::Slot slot, reminders::End how) {
            m_notifier->withdraw(int(alerts::indexOf(slot)));
            m_history->ended(slot, how);
        });
        connect(&slot, &ReminderSlot::reminderWaiting, this, [this](alerts::Slot slot) { m_history->waiting(slot); });
    }
    connect(m_awayHold.get(), &AwayHold::back, m_eyeRest.get(),
            [this](std::chrono::seconds absence) { m_eyeRest->back(absence, m_awayHold->awayAfter()); });
    connect(m_eyeRest.get(), &EyeRest::rested, this,
            [this](std::chrono::seconds absence) { history().rested(alerts::Slot::EyeRest, absence); });
    connect(m_notifier.get(), &platform::Notifier::actionInvoked, m_putOff.get(), [this](int key) {
        if (key >= 0 && size_t(key) < alerts::kSlots.size())
            m_putOff->putOff(alerts::kSlots[size_t(key)], PutOff::kShortMinutes);
    });
    connect(m_pause.get(), &Pause::changed, this, &Companion::pauseChanged);
    connect(m_tray.get(), &Tray::clicked, this, [this] { bringForward(m_window); });

    CompanionMenu &menu = *m_menu;
    connect(menu.showWindow(), &QAction::triggered, this, [this] { bringForward(m_window); });
    connect(menu.records(), &QAction::triggered, this, &Companion::showHistory);
    connect(menu.pauseHalfHour(), &QAction::triggered, m_pause.get(), [this] { m_pause->pauseFor(30min); });
    connect(menu.pauseHour(), &QAction::triggered, m_pause.get(), [this] { m_pause->pauseFor(60min); });
    connect(menu.resume(), &QAction::triggered, m_pause.get(), &Pause::resume);
    connect(menu.autoRepeat(), &QAction::triggered, this, &Companion::setAutoRepeat);
    connect(menu.awayHold(), &QAction::triggered, this, &Companion::setAwayHold);
    connect(menu.autostart(), &QAction::triggered, this, &Companion::setAutostart);
    connect(menu.options(), &QAction::triggered, this, &Companion::showOptions);
    apply();
    // The entry may have been removed or added by hand: the mark shows what is there.
    connect(&menu, &QMenu::aboutToShow, this, [this] { m_menu->autostart()->setChecked(m_autostart.isEnabled()); });
    menu.autostart()->setChecked(m_autostart.isEnabled());
    // As closing the main window does.
    connect(menu.quit(), &QAction::triggered, m_window, &QWidget::close);

    // The main window's context menu: its background and labels pass a right click on to
    // it; the time boxes and the sound switch keep their own edit menus.
    m_window->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_window, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_window->mapToGlobal(pos)); });

    // The tray icon comes up once the event loop runs, after the main window has been
    // put on screen: the start-up does not wait for the desktop's tray to be found.
    QTimer::singleShot(0, m_tray.get(), &Tray::show);
}

Companion::~Companion()
{
    m_history->endAllOpen();
}

void Companion::startActionBegins()
{
    m_pause->resume();
}

void Companion::bringForward(QWidget *window)
{
    if (window) {
        window->show();
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
    }
    if (QWidget *modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void Companion::setAutoRepeat(bool on)
{
    Choices choices = m_options.choices();
    choices.autoRepeat = on;
    choose(choices);
}

void Companion::setAwayHold(bool on)
{
    Choices choices = m_options.choices();
    choices.awayHold = on;
    choose(choices);
}

void Companion::choose(const Choices &choices)
{
    m_options.setChoices(choices);
    apply();
    saveOptions();
}

void Companion::apply()
{
    const Choices &c = m_options.choices();
    m_menu->autoRepeat()->setChecked(c.autoRepeat);
    m_menu->awayHold()->setChecked(c.awayHold);
    m_awayHold->setAwayAfter(std::chrono::minutes(c.awayAfterMinutes));
    m_awayHold->setEnabled(c.awayHold);
    m_eyeRest->setEnabled(c.awayHold && c.eyeRestAfterAway);
    m_presentationHold->setEnabled(c.holdWhilePresenting);
    m_workingHours->set(c.workingHoursOnly, c.workingDays, c.workFrom, c.workTo);
}

void Companion::showOptions()
{
    OptionsWindow window(m_options.choices(), m_autostart.isEnabled(), m_window);
    // Modal: the countdowns and reminders go on meanwhile, as under the program's other
    // windows.
    if (window.exec() != QDialog::Accepted)
        return;
    if (window.autostart() != m_autostart.isEnabled())
        setAutostart(window.autostart());
    if (window.choices() != m_options.choices())
        choose(window.choices());
}

void Companion::saveOptions()
{
    if (!m_options.write())
        m_hooks.Error(m_window, QStringLiteral("无法保存选项，下次启动时此选择不会保留：\n%1").arg(m_options.path()));
}

void Companion::setAutostart(bool on)
{
    if (!(on ? m_autostart.enable() : m_autostart.disable()))
        m_hooks.Error(m_window, (on ? QStringLiteral("无法写入自动启动文件：\n%1")
                                    : QStringLiteral("无法删除自动启动文件：\n%1"))
                                    .arg(m_autostart.path()));
    m_menu->autostart()->setChecked(m_autostart.isEnabled());
}

History &Companion::history()
{
    if (!m_historyAsked) {
        m_historyAsked = true;
        // Said once what asked for the record has been done (a reminder opened, the
        // record window shown), not in the middle of it.
        QTimer::singleShot(0, this, [this, opened = m_history->open()] { tellHistoryOpened(opened); });
    }
    return *m_history;
}

void Companion::tellHistoryOpened(History::Opened opened)
{
    switch (opened) {
    case History::Opened::Damaged:
        m_hooks.Error(nullptr, QStringLiteral("提醒记录文件已损坏，无法读出：\n%1\n已将其另存为：\n%2\n记录已重新开始。")
                                   .arg(m_history->path(), m_history->keptAs()));
        break;
    case History::Opened::Unavailable:
        m_hooks.Error(nullptr, QStringLiteral("无法打开提醒记录文件：\n%1\n本次运行不作记录。").arg(m_history->path()));
        break;
    case History::Opened::Fine:
    case History::Opened::NoDriver: // the reminders do not need it
        break;
    }
}

void Companion::showHistory()
{
    if (!m_historyWindow)
        m_historyWindow = std::make_unique<HistoryWindow>(history(), m_window);
    m_historyWindow->showRecord();
}

void Companion::pauseChanged()
{
    m_menu->resume()->setEnabled(m_pause->isPaused());
}

} // namespace companion
