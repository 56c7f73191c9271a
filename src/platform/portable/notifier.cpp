#include "platform/notifier.h"

namespace platform {

/// Where the desktop offers no notifications, nothing is shown.
class Notifier::Service
{ };

Notifier::Notifier(Setup, QObject *parent)
    : QObject(parent)
{ }

Notifier::~Notifier() = default;

void Notifier::notify(int, const QString &, const QString &, const QString &) { }

void Notifier::withdraw(int) { }

} // namespace platform
