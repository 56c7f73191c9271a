#include "platform/systembell.h"

#include <windows.h>

namespace platform {

SystemBell::SystemBell(const QString &applicationName, const QString &applicationId)
    : m_name(applicationName.toUtf8())
    , m_id(applicationId.toUtf8())
{ }

void SystemBell::ring()
{
    // The system's default sound of the user's sound scheme: silent where he switched
    // sounds off, as every other program's beep is.
    MessageBeep(MB_OK);
}

} // namespace platform
