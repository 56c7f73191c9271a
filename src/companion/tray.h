#pragma once

#include "companion/slotcontrols.h"

#include <QSystemTrayIcon>

#include <memory>
#include <vector>

class QMenu;

namespace companion {

class Pause;

/// The tray icon: the program's icon, the additions' menu, and a tooltip with each
/// slot's time left ("喝水 0:29:59", "远眺 未计时"), the pause ("已暂停，至 14:30 继续")
/// and the hold while the user is away ("已暂停（离开电脑）").
/// The tooltip is brought up to date by update(), called when something it shows
/// changes (the ticks, the pause): it keeps no timer of its own. The icon's tooltip is
/// rewritten once after all the changes of one pass of the event loop, so that the three
/// ticks of a second reach the desktop's tray as one new tooltip. The icon itself comes
/// up with show(), after the main window has been drawn: looking for the desktop's tray
/// takes some milliseconds that the start-up need not wait for.
class Tray : public QObject
{
    Q_OBJECT
public:
    Tray(const QIcon &icon, QMenu *menu, std::vector<SlotControls> rows, const Pause &pause, QObject *parent = nullptr);

    /// Puts the icon into the desktop's tray (or waits for a tray to appear).
    void show();
    void update();
    /// The tooltip as it stands now.
    QString toolTip() const;
    /// The icon, once shown.
    QSystemTrayIcon *icon() const { return m_icon.get(); }

Q_SIGNALS:
    /// The icon was clicked (not for its menu).
    void clicked();

private:
    /// Gives the icon the tooltip as it stands now.
    void refresh();

    std::vector<SlotControls> m_slots;
    const Pause &m_pause;
    QIcon m_picture;
    QMenu *m_menu;
    bool m_refreshQueued = false;
    std::unique_ptr<QSystemTrayIcon> m_icon;
};

} // namespace companion
