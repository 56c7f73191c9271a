#pragma once

#include <QMenu>

namespace companion {

/// The additions' one menu, from the tray icon and as the main window's context menu:
/// 显示主窗口 and 提醒记录, the two pauses and 继续计时, then the three choices, then
/// 选项… (the window of every choice) and 退出.
/// It only offers the actions; Companion carries them out.
class CompanionMenu : public QMenu
{
    Q_OBJECT
public:
    explicit CompanionMenu(QWidget *parent = nullptr);

    QAction *showWindow() const { return m_showWindow; }
    QAction *records() const { return m_records; }
    QAction *pauseHalfHour() const { return m_pauseHalfHour; }
    QAction *pauseHour() const { return m_pauseHour; }
    QAction *resume() const { return m_resume; }
    QAction *autoRepeat() const { return m_autoRepeat; }
    QAction *awayHold() const { return m_awayHold; }
    QAction *autostart() const { return m_autostart; }
    QAction *options() const { return m_options; }
    QAction *quit() const { return m_quit; }

private:
    QAction *m_showWindow;
    QAction *m_records;
    QAction *m_pauseHalfHour;
    QAction *m_pauseHour;
    QAction *m_resume;
    QAction *m_autoRepeat;
    QAction *m_awayHold;
    QAction *m_autostart;
    QAction *m_options;
    QAction *m_quit;
};

} // namespace companion
