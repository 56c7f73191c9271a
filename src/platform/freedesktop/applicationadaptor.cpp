#include "platform/freedesktop/applicationadaptor.h"

namespace platform {

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    Q_EMIT activated();
}

void ApplicationAdaptor::Open(const QStringList &, const QVariantMap &)
{
    Q_EMIT activated(); // coming forward is all the program can do
}

void ApplicationAdaptor::ActivateAction(const QString &, const QVariantList &, const QVariantMap &)
{
    Q_EMIT activated();
}

} // namespace platform
