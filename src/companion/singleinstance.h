#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

class QSocketNotifier;

namespace companion {

/// One instance of the program per session. The first launch takes the program's name
/// on the session bus and answers the freedesktop Application interface there; a later
/// launch finds the name taken, asks its owner to Activate (come forward) and ends.
/// Without a session bus, a lock file in the user's runtime folder does the same: the
/// first launch holds the lock (the system lets go of it when the process ends, however
/// it ends) and listens on a named pipe beside it, into which a later launch writes.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    /// How this instance made sure it is the only one.
    enum class Way { SessionBus, LockFile, Alone };

    /// name: the program's application id. lockFolder: where the lock file and its pipe
    /// live when there is no session bus (the user's runtime folder when empty).
    explicit SingleInstance(QString name, QString lockFolder = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    /// Makes this process the program's instance and returns true, or, when another one
    /// runs, asks it to come forward and returns false: this process should then end.
    /// Where neither the bus nor the lock file can be had, the process runs on its own.
    bool claim();
    Way way() const { return m_way; }

public Q_SLOTS:
    // org.freedesktop.Application, as the running instance answers it.
    Q_SCRIPTABLE void Activate(const QVariantMap &platformData);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platformData);
    Q_SCRIPTABLE void ActivateAction(const QString &action, const QVariantList &parameter,
                                     const QVariantMap &platformData);

Q_SIGNALS:
    /// Another launch asked this instance to come forward.
    void activated();

private:
    enum class Claim { Mine, Taken, Unavailable };
    Claim claimBus();
    Claim claimLock();
    bool listen(const QByteArray &pipe);
    static void knock(const QByteArray &pipe);
    void readPipe();
    QString objectPath() const;

    QString m_name;
    QString m_lockFolder;
    Way m_way = Way::Alone;
    int m_lock = -1;
    int m_pipe = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace companion
