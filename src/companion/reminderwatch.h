#pragma once

#include "alerts/slot.h"

#include <QObject>
#include <QString>

class QWidget;

#include <optional>

namespace companion {

/// Tells when a reminder window of the program appears, with the message it shows, and
/// when it goes again ("我已知晓", or put off). It watches the windows from
/// outside, through an event filter on the application, so that they need not know.
class ReminderWatch : public QObject
{
    Q_OBJECT
public:
    explicit ReminderWatch(QObject *parent = nullptr);
    ~ReminderWatch() override;

    /// The slot of a reminder window; none for any other object.
    static std::optional<alerts::Slot> slotOf(const QObject *window);

Q_SIGNALS:
    /// Emitted as the window is about to come up, before it has drawn its message.
    void opened(alerts::Slot slot, QWidget *window);
    /// Emitted once the window has come up and drawn its message.
    void shown(alerts::Slot slot, const QString &message);
    void hidden(alerts::Slot slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace companion
