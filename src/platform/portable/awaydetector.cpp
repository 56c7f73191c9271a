#include "platform/awaydetector.h"

namespace platform {

/// The toolkit alone tells nothing of locks or input.
class AwayDetector::Service
{ };

AwayDetector::AwayDetector(IdleTime idle, QObject *parent)
    : QObject(parent)
    , m_idle(std::move(idle))
{ }

AwayDetector::~AwayDetector() = default;

void AwayDetector::start() { }

void AwayDetector::stop() { }

bool AwayDetector::isLocked() const
{
    return false;
}

std::optional<std::chrono::milliseconds> AwayDetector::idleTime() const
{
    return m_idle ? m_idle() : std::nullopt;
}

} // namespace platform
