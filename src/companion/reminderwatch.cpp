#include "companion/reminderwatch.h"

#include "alerts/reminderwindow.h"
#include "ui/windowdefs.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace companion {

ReminderWatch::ReminderWatch(QObject *parent)
    : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

ReminderWatch::~ReminderWatch()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

std::optional<alerts::Slot> ReminderWatch::slotOf(const QObject *window)
{
    if (!qobject_cast<const alerts::ReminderWindow *>(window))
        return std::nullopt;
    const QString name = window->objectName();
    const char *const names[] = {ui::Form2().name, ui::Form3().name, ui::Form4().name};
    for (const alerts::Slot k : alerts::kSlots) {
        if (name == QLatin1String(names[alerts::indexOf(k)]))
            return k;
    }
    return std::nullopt;
}

bool ReminderWatch::eventFilter(QObject *watched, QEvent *event)
{
    // Only the program's own show() and hide(), not the window system's (a minimized desktop).
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && !event->spontaneous()) {
        if (const std::optional<alerts::Slot> found = slotOf(watched)) {
            const alerts::Slot slot = *found;
            if (type == QEvent::Hide) {
                Q_EMIT hidden(slot);
            } else {
                Q_EMIT opened(slot, static_cast<QWidget *>(watched));
                // Read the message once the window has settled: it may draw its message as it
                // shows, after this event. One acknowledged at once needs no word.
                QPointer<QWidget> window(qobject_cast<QWidget *>(watched));
                QTimer::singleShot(0, this, [this, window, slot] {
                    if (!window || !window->isVisible())
                        return;
                    const auto *label = window->findChild<QLabel *>(
                        QLatin1String(alerts::ReminderWindow::messageLabelName(slot)), Qt::FindDirectChildrenOnly);
                    Q_EMIT shown(slot, label ? label->text() : QString());
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace companion
