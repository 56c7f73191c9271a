#include "platform/systembell.h"

#include <QApplication>

namespace platform {

SystemBell::SystemBell(const QString &applicationName, const QString &applicationId)
    : m_name(applicationName.toUtf8())
    , m_id(applicationId.toUtf8())
{ }

void SystemBell::ring()
{
    QApplication::beep();
}

} // namespace platform
