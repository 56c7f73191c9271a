// The additions around the reminder program: its menu (tray icon and the main window's
// context menu), pause, automatic repeat, start at login, desktop notifications, putting a
// reminder off, the hold while the user is away and the record of the reminders.
// With every choice at its default the program does exactly what it did without them.
#pragma once

#include "companion/options.h"
#include "companion/pause.h"
#include "companion/slotcontrols.h"
#include "platform/autostart.h"
#include "platform/awaydetector.h"
#include "platform/filelocations.h"

#include <QIcon>
#include <QObject>

#include <array>
#include <memory>
#include <vector>

class QWidget;

namespace alerts {
class Beeper;
}

namespace platform {
class Notifier;
}

namespace runtime {
struct Platform;
}

namespace companion {

class AwayHold;
class CompanionMenu;
class History;
class HistoryWindow;
class PutOff;
class ReminderWatch;
class Repeat;
class Tray;

class Companion : public QObject
{
    Q_OBJECT
public:
    /// What the additions are given: the main window and its rows, and where things are.
    struct Setup {
        QWidget *mainWindow = nullptr;
        std::vector<SlotControls> rows;
        const runtime::Platform *platform = nullptr; ///< for message boxes
        alerts::Beeper *beeper = nullptr;            ///< silenced while the user is away
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
    };

    /// Reads the options (a damaged options file is reported once, in a message box, and
    /// replaced by the defaults), opens the record (a damaged one is reported once and
    /// started afresh), puts up the tray icon and attaches the menu.
    explicit Companion(Setup setup, QObject *parent = nullptr);
    ~Companion() override;

    /// "显示主窗口": shows, un-minimises, raises and activates window; a reminder or a
    /// message box open over it stays above it.
    static void bringForward(QWidget *window);

    CompanionMenu &menu() { return *m_menu; }
    Pause &pause() { return *m_pause; }
    AwayHold &awayHold() { return *m_awayHold; }
    PutOff &putOff() { return *m_putOff; }
    const History &history() const { return *m_history; }
    /// The record's window, once the menu has shown it.
    HistoryWindow *historyWindow() const { return m_historyWindow.get(); }
    Tray &tray() { return *m_tray; }
    const Options &options() const { return m_options; }
    const platform::Autostart &autostart() const { return m_autostart; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setAutoRepeat(bool on);
    void setAwayHold(bool on);
    void setAutostart(bool on);
    void pauseChanged();
    void openHistory();
    void showHistory();
    void saveOptions();

    QWidget *m_window;
    const runtime::Platform &m_platform;
    Options m_options;
    platform::Autostart m_autostart;
    // In the order of their making; the tray goes before the menu it offers.
    std::unique_ptr<CompanionMenu> m_menu;
    std::unique_ptr<Pause> m_pause;
    std::unique_ptr<Repeat> m_repeat;
    std::unique_ptr<platform::Notifier> m_notifier;
    std::unique_ptr<History> m_history;
    std::unique_ptr<ReminderWatch> m_watch;
    std::unique_ptr<PutOff> m_putOff;
    std::unique_ptr<platform::AwayDetector> m_detector;
    std::unique_ptr<AwayHold> m_awayHold;
    std::unique_ptr<Tray> m_tray;
    std::unique_ptr<HistoryWindow> m_historyWindow;
    std::array<bool, 3> m_puttingOff{}; ///< the slot's reminder goes because it is put off
    std::array<QString, 3> m_topics;
};

} // namespace companion
