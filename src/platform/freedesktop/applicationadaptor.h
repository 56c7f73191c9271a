#pragma once

#include <QObject>
#include <QVariantMap>

namespace platform {

/// The freedesktop Application interface on the session bus, as the running instance
/// answers it: every call asks it to come forward (the program opens no files and has no
/// actions of its own).
class ApplicationAdaptor : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    using QObject::QObject;

public Q_SLOTS:
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    Q_SCRIPTABLE void ActivateAction(const QString &action, const QVariantList &parameter,
                                     const QVariantMap &platformData);

Q_SIGNALS:
    void activated();
};

} // namespace platform
