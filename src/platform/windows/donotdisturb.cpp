#include "platform/donotdisturb.h"

namespace platform {

/// Nothing is seen yet.
class DoNotDisturb::Desktop
{
};

DoNotDisturb::DoNotDisturb(State state, QObject *parent)
    : QObject(parent)
    , m_state(std::move(state))
    , m_desktop(std::make_unique<Desktop>())
{ }

DoNotDisturb::~DoNotDisturb() = default;

void DoNotDisturb::start() { }

void DoNotDisturb::stop() { }

bool DoNotDisturb::isOn() const
{
    return m_state ? m_state() : false;
}

} // namespace platform
