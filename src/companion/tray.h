#pragma once

#include <QObject>
#include <QIcon>
#include <QString>

class QMenu;
class QSystemTrayIcon;

namespace reminders {
class Reminders;
}

namespace companion {

class AwayHold;
class Pause;

/// The tray icon: the program's icon, the additions' menu, and a tooltip with each
/// slot's time left ("喝水 0:29:59", "远眺 未计时", "厕所 等待中（演示或免打扰）"), the pause
/// ("已暂停，至 14:30 继续"), the hold while the user is away ("已暂停（离开电脑）") and
/// outside working hours ("工作时间外，已暂停").
/// The tooltip follows what the rows and the pause announce: it keeps no timer of its
/// own. The icon's tooltip is rewritten once after all the changes of one pass of the
/// event loop, so that the three ticks of a second reach the desktop's tray as one new
/// tooltip. The icon itself comes up with show(): looking for the desktop's tray takes
/// some milliseconds that the start-up need not wait for.
class Tray : public QObject
{
    Q_OBJECT
public:
    Tray(const QIcon &icon, QMenu *menu, reminders::Reminders &reminders, const Pause &pause, const AwayHold &away,
         QObject *parent = nullptr);

    /// Puts the icon into the desktop's tray (or waits for a tray to appear).
    void show();
    /// The icon, once shown.
    QSystemTrayIcon *icon() const { return m_icon; }

Q_SIGNALS:
    /// The icon was clicked (not for its menu).
    void clicked();

private:
    /// Asks for the tooltip to be brought up to date once the event loop comes round.
    void update();
    /// Gives the icon the tooltip as it stands now.
    void refresh();
    QString toolTip() const;

    const reminders::Reminders &m_reminders;
    const Pause &m_pause;
    const AwayHold &m_away;
    QIcon m_picture;
    QMenu *m_menu;
    bool m_refreshQueued = false;
    QSystemTrayIcon *m_icon = nullptr;
};

} // namespace companion
