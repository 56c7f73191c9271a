// The additions around the reminder program: its menu (tray icon and the main window's
// context menu), pause, automatic repeat, start at login and desktop notifications.
// With every choice at its default the program does exactly what it did without them.
#pragma once

#include "companion/options.h"
#include "companion/pause.h"
#include "companion/slotcontrols.h"
#include "platform/autostart.h"

#include <QIcon>
#include <QObject>

#include <memory>
#include <vector>

class QWidget;

namespace platform {
class Notifier;
}

namespace runtime {
struct Platform;
}

namespace companion {

class CompanionMenu;
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
        QIcon icon;
        QString iconName;     ///< the icon's name in the desktop's theme (for notifications)
        QString desktopEntry; ///< the name of the program's desktop entry (for notifications)
        QString program;      ///< the executable that the autostart entry starts
        QString optionsPath = Options::defaultPath();
        QString autostartPath = platform::Autostart::defaultPath();
        Pause::Clock clock = &QDateTime::currentDateTime;
    };

    /// Reads the options (a damaged options file is reported once, in a message box, and
    /// replaced by the defaults), puts up the tray icon and attaches the menu.
    explicit Companion(Setup setup, QObject *parent = nullptr);
    ~Companion() override;

    /// "显示主窗口": shows, un-minimises, raises and activates window; a reminder or a
    /// message box open over it stays above it.
    static void bringForward(QWidget *window);

    CompanionMenu &menu() { return *m_menu; }
    Pause &pause() { return *m_pause; }
    Tray &tray() { return *m_tray; }
    const Options &options() const { return m_options; }
    const platform::Autostart &autostart() const { return m_autostart; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setAutoRepeat(bool on);
    void setAutostart(bool on);
    void pauseChanged();

    QWidget *m_window;
    const runtime::Platform &m_platform;
    Options m_options;
    platform::Autostart m_autostart;
    // In the order of their making; the tray goes before the menu it offers.
    std::unique_ptr<CompanionMenu> m_menu;
    std::unique_ptr<Pause> m_pause;
    std::unique_ptr<Repeat> m_repeat;
    std::unique_ptr<platform::Notifier> m_notifier;
    std::unique_ptr<ReminderWatch> m_watch;
    std::unique_ptr<Tray> m_tray;
};

} // namespace companion
