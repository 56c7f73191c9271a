// The main window asking for the user's attention as a reminder opens.
#pragma once

#include <QObject>
#include <QWidget> // whole: the signal hands a QWidget * on

namespace platform {

/// A window of the program asking for the user's attention: its task bar button flashes
/// (or whatever else the desktop makes of the request). GNOME Shell makes the request a
/// banner of its own ("… is ready") beside the program's own notification of the same
/// reminder; there the request is left out while a notification server is there to show
/// that notification, and made as elsewhere when there is none.
class Attention : public QObject
{
    Q_OBJECT
public:
    explicit Attention(QObject *parent = nullptr);

    /// Asks for the user's attention to window, a top-level window of the program.
    void ask(QWidget *window);

Q_SIGNALS:
    /// The request has been made to the desktop (not where it was left out).
    void asked(QWidget *window);
};

} // namespace platform
