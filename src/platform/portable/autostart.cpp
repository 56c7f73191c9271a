#include "platform/autostart.h"

namespace platform {

// Where the desktop has no known way of starting programs with the session, there is no
// entry: the choice cannot be made.

QString Autostart::defaultPath()
{
    return {};
}

Autostart::Autostart(QString program, QString entryPath)
    : m_program(std::move(program))
    , m_path(std::move(entryPath))
{ }

bool Autostart::isEnabled() const
{
    return false;
}

bool Autostart::enable() const
{
    return false;
}

bool Autostart::disable() const
{
    return true;
}

} // namespace platform
