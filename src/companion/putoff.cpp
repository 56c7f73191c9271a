#include "companion/putoff.h"

#include "alerts/reminderwindow.h"
#include "companion/reminderwatch.h"

#include <QApplication>
#include <QMenu>

namespace companion {

PutOff::PutOff(ReminderWatch &watch, std::function<void(alerts::Slot, int)> startAgain, QObject *parent)
    : QObject(parent)
    , m_startAgain(std::move(startAgain))
{
    connect(&watch, &ReminderWatch::opened, this, &PutOff::attachMenu);
}

QString PutOff::caption(int minutes)
{
    return QStringLiteral("%1 分钟后再提醒").arg(minutes);
}

void PutOff::attachMenu(alerts::Slot slot, QWidget *window)
{
    QPointer<alerts::ReminderWindow> &known = m_windows[alerts::indexOf(slot)];
    if (known == window)
        return;
    known = qobject_cast<alerts::ReminderWindow *>(window);
    if (!known)
        return;
    // The window's labels and button leave a right click to the window itself.
    auto *menu = new QMenu(window);
    for (const int minutes : {kShortMinutes, kLongMinutes})
        connect(menu->addAction(caption(minutes)), &QAction::triggered, this,
                [this, slot, minutes] { putOff(slot, minutes); });
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window, &QWidget::customContextMenuRequested, menu,
            [window, menu](const QPoint &pos) { menu->popup(window->mapToGlobal(pos)); });
}

void PutOff::putOff(alerts::Slot slot, int minutes)
{
    alerts::ReminderWindow *window = m_windows[alerts::indexOf(slot)];
    if (!window || !window->isVisible() || QApplication::activeModalWidget() != window)
        return;
    m_startAgain(slot, minutes);
    window->Command1_Click(); // as "我已知晓": hidden, the beeper silent
}

} // namespace companion
