#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace platform {

/// Reminders also as desktop notifications: a summary, a body, the program's icon, no
/// sound of their own (the program's bell is the sound). Each notification is filed
/// under a small number of the caller's (a reminder slot): the next one under the same
/// number replaces the last, and withdraw() takes it back. A notification may offer one
/// action, a button of the caller's caption, where the notification server shows actions. On a freedesktop desktop they
/// go to the notification server on the session bus, first spoken to at the first
/// notification; on Windows they are the tray icon's balloon messages. Without a
/// notification service nothing is shown and nothing fails.
class Notifier : public QObject
{
    Q_OBJECT
public:
    struct Setup {
        QString applicationName; ///< who notifies
        QString iconName;        ///< the program's icon in the desktop's icon theme
        QString desktopEntry;    ///< the name of the program's desktop entry, without ".desktop"
        /// The tray icon, where the desktop shows notifications from it (null while there is none).
        std::function<QSystemTrayIcon *()> trayIcon;
    };

    /// How many numbers notifications can be filed under: 0 to kKeys - 1.
    static constexpr int kKeys = 3;

    explicit Notifier(Setup setup, QObject *parent = nullptr);
    ~Notifier() override;

    /// action: the caption of the notification's one action; none when empty.
    void notify(int key, const QString &summary, const QString &body, const QString &action = {});
    void withdraw(int key);

    class Service;

Q_SIGNALS:
    /// The user chose the action of the notification filed under key.
    void actionInvoked(int key);

private:
    std::unique_ptr<Service> m_service;
};

} // namespace platform
