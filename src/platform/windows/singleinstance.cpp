#include "platform/singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace platform {
namespace {

// How long a later launch waits for the running instance to take its knock.
constexpr int kAnswerMs = 5000;

} // namespace

/// The claim on Windows: a lock file in the user's local application data (Windows lets
/// go of it when the process ends, however it ends), and a local server named for the
/// program and the user, to which a later launch connects to knock.
class SingleInstance::Claim
{
public:
    Claim(SingleInstance *owner, const QString &name, QString lockFolder)
        : m_owner(owner)
        , m_lockFolder(std::move(lockFolder))
    {
        // One per user: the pipe's name space is the machine's.
        const QByteArray user =
            qEnvironmentVariable("USERDOMAIN").toUtf8() + '\\' + qEnvironmentVariable("USERNAME").toUtf8();
        m_serverName =
            name + QLatin1Char('-')
            + QString::fromLatin1(QCryptographicHash::hash(user, QCryptographicHash::Sha256).toHex().left(16));
        if (m_lockFolder.isEmpty())
            m_lockFolder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        m_lockPath = m_lockFolder + QLatin1Char('/') + name + QStringLiteral(".lock");
    }

    /// Whether this process is to run (it is the instance, or no claim could be made).
    bool claim()
    {
        if (m_lockFolder.isEmpty() || !QDir().mkpath(m_lockFolder))
            return true;
        m_lock = std::make_unique<QLockFile>(m_lockPath);
        m_lock->setStaleLockTime(0);
        if (m_lock->tryLock(0)) {
            listen();
            return true;
        }
        if (m_lock->error() != QLockFile::LockFailedError)
            return true;
        if (knock()) {
            m_lock.reset();
            return false;
        }
        // Nobody answers: the lock file is left from an instance that was ended by force,
        // naming a process ID that may now be this very process's. A file that a running
        // instance holds open cannot be removed; this one can, and the claim is taken over.
        // Where even that fails, this launch runs on its own rather than end without a word.
        if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
            listen();
        else
            m_lock.reset();
        return true;
    }

private:
    void listen()
    {
        QLocalServer::removeServer(m_serverName);
        m_server = std::make_unique<QLocalServer>();
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        if (!m_server->listen(m_serverName))
            return;
        QObject::connect(m_server.get(), &QLocalServer::newConnection, m_owner, [this] {
            while (QLocalSocket *socket = m_server->nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                Q_EMIT m_owner->activated();
            }
        });
    }

    /// Whether the running instance took the knock.
    bool knock() const
    {
        // The running instance may have taken the lock a moment ago and not be listening yet.
        QLocalSocket socket;
        for (int waited = 0; waited < kAnswerMs; waited += 100) {
            socket.connectToServer(m_serverName);
            if (socket.waitForConnected(100)) {
                socket.write("A");
                socket.waitForBytesWritten(kAnswerMs);
                socket.disconnectFromServer();
                return true;
            }
        }
        return false;
    }

    SingleInstance *m_owner;
    QString m_lockFolder;
    QString m_lockPath;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

SingleInstance::SingleInstance(QString name, QString lockFolder, QObject *parent)
    : QObject(parent)
    , m_claim(std::make_unique<Claim>(this, name, std::move(lockFolder)))
{ }

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    return m_claim->claim();
}

} // namespace platform
