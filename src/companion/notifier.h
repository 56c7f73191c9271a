#pragma once

#include <QObject>
#include <QString>

#include <array>

namespace companion {

/// Each reminder also as a desktop notification (org.freedesktop.Notifications on the
/// session bus): summary "到时啦", the slot's topic and message as body, the program's
/// icon, no sound of its own (the beeper is the sound). A slot's next notification
/// replaces its last one; withdraw() takes it back. Without a session bus or a
/// notification server nothing is shown and nothing fails. The server is first spoken
/// to at the first reminder.
class Notifier : public QObject
{
    Q_OBJECT
public:
    /// iconName: the program's icon in the desktop's icon theme, also the name of its
    /// menu entry.
    explicit Notifier(QString iconName, QObject *parent = nullptr);

    void notify(int slot, const QString &topic, const QString &message);
    void withdraw(int slot);

private:
    void close(quint32 id);

    /// What the server was told about one slot's notification.
    struct Sent {
        quint32 id = 0;       ///< the server's number for it; 0 before its answer
        bool open = false;    ///< sent and not withdrawn
        bool answered = true; ///< the server has given its number
    };
    QString m_icon;
    std::array<Sent, 3> m_sent;
};

} // namespace companion
