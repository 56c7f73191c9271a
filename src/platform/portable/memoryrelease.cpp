#include "platform/memoryrelease.h"

namespace platform {

// The C library keeps freed memory as it sees fit: there is nothing to ask it for.

MemoryRelease::MemoryRelease(QObject *parent)
    : QObject(parent)
    , m_later(nullptr)
{ }

MemoryRelease::~MemoryRelease() = default;

bool MemoryRelease::eventFilter(QObject *, QEvent *)
{
    return false;
}

void MemoryRelease::releaseNow() { }

} // namespace platform
