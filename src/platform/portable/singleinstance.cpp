#include "platform/singleinstance.h"

namespace platform {

/// Where the desktop offers no way to find a running instance, every launch runs on its own.
class SingleInstance::Claim
{ };

SingleInstance::SingleInstance(QString, QString, QObject *parent)
    : QObject(parent)
{ }

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    return true;
}

} // namespace platform
