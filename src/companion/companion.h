// The additions around the reminder program: its menu (tray icon and the main window's
// context menu) and its options window, pause, automatic repeat, start at login, desktop
// notifications, putting a reminder off, the hold while the user is away with the natural
// eye rest, the hold while he presents, working hours and the record of the reminders. They
// learn what the reminders do from the rows' signals and steer them through their
// commands. With every choice at its default the program does exactly what it did
// without them.
#pragma once

#include "companion/history.h"
#include "companion/options.h"
#include "companion/pause.h"
#include "platform/autostart.h"
#include "platform/awaydetector.h"
#include "platform/donotdisturb.h"
#include "platform/filelocations.h"

#include <QIcon>
#include <QObject>

#include <memory>

class QWidget;

namespace platform {
class Notifier;
}

namespace reminders {
class Reminders;
}

namespace runtime {
struct Hooks;
}

namespace companion {

class AwayHold;
class CompanionMenu;
class EyeRest;
class HistoryWindow;
class PresentationHold;
class PutOff;
class Repeat;
class Tray;
class WorkingHours;
struct Choices;

class Companion : public QObject
{
    Q_OBJECT
public:
    /// What the additions are given: the main window and its rows, and where things are.
    struct Setup {
        QWidget *mainWindow = nullptr;
        reminders::Reminders *reminders = nullptr;
        const runtime::Hooks *hooks = nullptr; ///< for message boxes
        QIcon icon;
        QString iconName;     ///< the icon's name in the desktop's theme (for notifications)
        QString desktopEntry; ///< the name of the program's desktop entry (for notifications)
        QString program;      ///< the executable that the autostart entry starts
        QString optionsPath = Options::defaultPath();
        QString autostartPath = platform::Autostart::defaultPath();
        QString historyPath = platform::FileLocations::historyFile();
        Pause::Clock clock = &QDateTime::currentDateTime;
        /// Stands in for the desktop's idle time when given (tests).
        platform::AwayDetector::IdleTime idleTime;
        /// Stands in for the desktop's word on presenting and do-not-disturb when given (tests).
        platform::DoNotDisturb::State doNotDisturb;
    };

    /// Reads the options (a damaged options file is reported once, in a message box, and
    /// replaced by the defaults), opens the record (a damaged one is reported once and
    /// started afresh) and attaches the menu. The tray icon comes up once the event loop
    /// runs. A child of the main window, as are its parts.
    explicit Companion(Setup setup);
    ~Companion() override;

    /// The person's start action begins: a pause he chose ends first, so that the
    /// countdowns it held go on and those he starts now run.
    void startActionBegins();

    /// "显示主窗口": shows, un-minimises, raises and activates window; a reminder or a
    /// message box open over it stays above it.
    static void bringForward(QWidget *window);

private:
    void setAutoRepeat(bool on);
    void setAwayHold(bool on);
    void setAutostart(bool on);
    /// Takes the choices: each addition follows them, the options file keeps them.
    void choose(const Choices &choices);
    /// The additions as the choices say.
    void apply();
    void showOptions();
    void pauseChanged();
    /// The record, opened when it is first written or shown rather than at the start:
    /// until then the program carries neither the database nor its driver.
    History &history();
    void tellHistoryOpened(History::Opened opened);
    void showHistory();
    void saveOptions();

    QWidget *m_window;
    reminders::Reminders &m_reminders;
    const runtime::Hooks &m_hooks;
    Options m_options;
    platform::Autostart m_autostart;
    // In the order of their making, which is the reverse of their going: the tray icon
    // goes before the menu it offers. The parts are children of this object too, so that
    // they are found in the main window's tree.
    std::unique_ptr<CompanionMenu> m_menu;
    std::unique_ptr<History> m_history;
    bool m_historyAsked = false;
    std::unique_ptr<Pause> m_pause;
    std::unique_ptr<Repeat> m_repeat;
    std::unique_ptr<PutOff> m_putOff;
    std::unique_ptr<platform::Notifier> m_notifier;
    std::unique_ptr<platform::AwayDetector> m_detector;
    std::unique_ptr<AwayHold> m_awayHold;
    std::unique_ptr<EyeRest> m_eyeRest;
    std::unique_ptr<platform::DoNotDisturb> m_doNotDisturb;
    std::unique_ptr<PresentationHold> m_presentationHold;
    std::unique_ptr<WorkingHours> m_workingHours;
    std::unique_ptr<Tray> m_tray;
    std::unique_ptr<HistoryWindow> m_historyWindow;
};

} // namespace companion
