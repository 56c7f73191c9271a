#include "platform/notifier.h"

#include <QSystemTrayIcon>

namespace platform {

/// The tray icon's balloon messages. Windows shows one at a time and takes each away by
/// itself after a while; a newer one replaces the last.
class Notifier::Service
{
public:
    explicit Service(Setup setup)
        : m_setup(std::move(setup))
    { }
    Setup m_setup;
    int m_shown = -1; ///< the key of the balloon last shown, -1 when none is open
};

Notifier::Notifier(Setup setup, QObject *parent)
    : QObject(parent)
    , m_service(std::make_unique<Service>(std::move(setup)))
{ }

Notifier::~Notifier() = default;

void Notifier::notify(int key, const QString &summary, const QString &body, const QString &)
{
    // Balloons have no buttons: the action is not offered.
    QSystemTrayIcon *icon = m_service->m_setup.trayIcon ? m_service->m_setup.trayIcon() : nullptr;
    if (!icon || !icon->isVisible() || !QSystemTrayIcon::supportsMessages())
        return;
    icon->showMessage(summary, body, icon->icon(), 10000);
    m_service->m_shown = key;
}

void Notifier::withdraw(int key)
{
    // A balloon cannot be taken back; one of another key stays, the last one of this key
    // is replaced by nothing (an empty message closes it).
    if (m_service->m_shown != key)
        return;
    m_service->m_shown = -1;
    if (QSystemTrayIcon *icon = m_service->m_setup.trayIcon ? m_service->m_setup.trayIcon() : nullptr)
        icon->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 1);
}

} // namespace platform
