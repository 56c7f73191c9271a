#include "companion/companionmenu.h"

namespace companion {

CompanionMenu::CompanionMenu(QWidget *parent)
    : QMenu(parent)
    , m_showWindow(addAction(QStringLiteral("显示主窗口")))
    , m_records(addAction(QStringLiteral("提醒记录")))
{
    addSeparator();
    m_pauseHalfHour = addAction(QStringLiteral("暂停全部提醒 30 分钟"));
    m_pauseHour = addAction(QStringLiteral("暂停全部提醒 1 小时"));
    m_resume = addAction(QStringLiteral("继续计时"));
    m_resume->setEnabled(false); // only during a pause
    addSeparator();
    m_autoRepeat = addAction(QStringLiteral("到时后自动重新计时"));
    m_autoRepeat->setCheckable(true);
    m_awayHold = addAction(QStringLiteral("离开电脑时暂停计时"));
    m_awayHold->setCheckable(true);
    m_autostart = addAction(QStringLiteral("登录后自动启动"));
    m_autostart->setCheckable(true);
    addSeparator();
    m_options = addAction(QStringLiteral("选项…"));
    m_quit = addAction(QStringLiteral("退出"));
}

} // namespace companion
