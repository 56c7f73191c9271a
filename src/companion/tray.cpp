#include "companion/tray.h"

#include "companion/awayhold.h"
#include "companion/pause.h"
#include "reminders/reminders.h"

#include <QSystemTrayIcon>

namespace companion {

Tray::Tray(const QIcon &icon, QMenu *menu, reminders::Reminders &reminders, const Pause &pause, const AwayHold &away,
           QObject *parent)
    : QObject(parent)
    , m_reminders(reminders)
    , m_pause(pause)
    , m_away(away)
    , m_picture(icon)
    , m_menu(menu)
{
    for (const alerts::Slot k : alerts::kSlots)
        connect(&reminders.slot(k), &reminders::ReminderSlot::changed, this, &Tray::update);
    connect(&reminders, &reminders::Reminders::holdsChanged, this, &Tray::update);
    connect(&pause, &Pause::changed, this, &Tray::update);
}

void Tray::show()
{
    if (m_icon)
        return;
    m_icon = new QSystemTrayIcon(m_picture, this);
    m_icon->setContextMenu(m_menu);
    m_icon->setToolTip(toolTip());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            Q_EMIT clicked();
    });
    m_icon->show();
}

void Tray::update()
{
    if (!m_icon || m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, &Tray::refresh, Qt::QueuedConnection);
}

void Tray::refresh()
{
    m_refreshQueued = false;
    if (const QString now = toolTip(); now != m_icon->toolTip())
        m_icon->setToolTip(now);
}

QString Tray::toolTip() const
{
    QStringList lines;
    if (m_pause.isPaused())
        lines << QStringLiteral("已暂停，至 %1 继续").arg(m_pause.endsAt().toString(QStringLiteral("HH:mm")));
    if (m_away.isAway())
        lines << QStringLiteral("已暂停（离开电脑）");
    if (m_reminders.isHeld(reminders::Reminders::Hold::OffHours))
        lines << QStringLiteral("工作时间外，已暂停");
    for (const alerts::Slot k : alerts::kSlots) {
        const reminders::ReminderSlot &slot = m_reminders.slot(k);
        // A countdown held by a pause still has its time left.
        if (slot.isWaiting())
            lines << alerts::topicOf(k) + QStringLiteral(" 等待中（演示或免打扰）");
        else if (slot.isCounting())
            lines << alerts::topicOf(k) + u' ' + slot.timeLeft().clockText();
        else
            lines << alerts::topicOf(k) + QStringLiteral(" 未计时");
    }
    return lines.join(u'\n');
}

} // namespace companion
