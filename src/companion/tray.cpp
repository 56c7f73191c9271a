#include "companion/tray.h"

#include "companion/pause.h"
#include "runtime/conversions.h"
#include "runtime/timer.h"

#include <QLineEdit>

namespace companion {
namespace {

// One field of the time left as H:MM:SS shows it.
QString field(const QLineEdit *box, int width)
{
    return runtime::doubleToText(runtime::strictToNumber(box->text()).value_or(0)).rightJustified(width, u'0');
}

} // namespace

Tray::Tray(const QIcon &icon, QMenu *menu, std::vector<SlotControls> rows, const Pause &pause, QObject *parent)
    : QObject(parent)
    , m_slots(std::move(rows))
    , m_pause(pause)
    , m_picture(icon)
    , m_menu(menu)
{ }

void Tray::show()
{
    if (m_icon)
        return;
    m_icon = std::make_unique<QSystemTrayIcon>(m_picture);
    m_icon->setContextMenu(m_menu);
    m_icon->setToolTip(toolTip());
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
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
    if (m_pause.isAway())
        lines << QStringLiteral("已暂停（离开电脑）");
    for (const SlotControls &slot : m_slots) {
        // A countdown held by the pause still has its time left.
        if (slot.timer->Enabled() || m_pause.holds(slot.timer))
            lines << QStringLiteral("%1 %2:%3:%4")
                         .arg(slot.topic, field(slot.boxes[0], 1), field(slot.boxes[1], 2), field(slot.boxes[2], 2));
        else
            lines << slot.topic + QStringLiteral(" 未计时");
    }
    return lines.join(u'\n');
}

} // namespace companion
