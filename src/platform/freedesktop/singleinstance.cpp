#include "platform/singleinstance.h"

#include "platform/freedesktop/applicationadaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
// How long a later launch waits for the running instance: to answer on the bus, or to
// open its pipe when both were started at the same moment.
constexpr int kAnswerMs = 5000;
constexpr int kKnockTries = 30;
constexpr unsigned kKnockGapMs = 100;

enum class Outcome { Mine, Taken, Unavailable };

} // namespace

/// The claim on a freedesktop desktop: the program's name on the session bus, or without
/// a session bus a lock file in the user's runtime folder (the system lets go of the lock
/// when the process ends, however it ends) and a named pipe beside it, into which a later
/// launch writes.
class SingleInstance::Claim
{
public:
    Claim(SingleInstance *owner, QString name, QString lockFolder)
        : m_owner(owner)
        , m_name(std::move(name))
        , m_lockFolder(std::move(lockFolder))
    { }
    ~Claim()
    {
        if (m_pipe >= 0)
            ::close(m_pipe);
        if (m_lock >= 0)
            ::close(m_lock); // lets go of the lock
    }

    Outcome claimBus();
    Outcome claimLock();

private:
    bool listen(const QByteArray &pipe);
    static bool knock(const QByteArray &pipe);
    void readPipe();
    QString objectPath() const
    {
        return QLatin1Char('/') + QString(m_name).replace(QLatin1Char('.'), QLatin1Char('/'));
    }

    SingleInstance *m_owner;
    QString m_name;
    QString m_lockFolder;
    ApplicationAdaptor m_adaptor;
    int m_lock = -1;
    int m_pipe = -1;
};

Outcome SingleInstance::Claim::claimBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Outcome::Unavailable;
    // The object answers before the name is taken, so that a launch that finds the name
    // taken always finds someone to ask.
    if (!bus.registerObject(objectPath(), &m_adaptor, QDBusConnection::ExportScriptableSlots))
        return Outcome::Unavailable;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        m_name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        QObject::connect(&m_adaptor, &ApplicationAdaptor::activated, m_owner, &SingleInstance::activated);
        return Outcome::Mine;
    }
    bus.unregisterObject(objectPath());
    if (!reply.isValid())
        return Outcome::Unavailable;
    QDBusMessage activate =
        QDBusMessage::createMethodCall(m_name, objectPath(), kInterface, QStringLiteral("Activate"));
    QVariantMap platformData;
    if (const QByteArray id = qgetenv("DESKTOP_STARTUP_ID"); !id.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(id));
    activate << platformData;
    activate.setAutoStartService(false);
    // A holder that does not answer (hung, or gone since) is no instance to hand over to:
    // this launch runs rather than end without a word.
    const QDBusMessage answer = bus.call(activate, QDBus::Block, kAnswerMs);
    return answer.type() == QDBusMessage::ReplyMessage ? Outcome::Taken : Outcome::Unavailable;
}

Outcome SingleInstance::Claim::claimLock()
{
    if (m_lockFolder.isEmpty())
        m_lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); // $XDG_RUNTIME_DIR
    if (m_lockFolder.isEmpty() || !QDir().mkpath(m_lockFolder))
        return Outcome::Unavailable;
    const QString base = m_lockFolder + QLatin1Char('/') + m_name;
    const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
    const QByteArray pipe = QFile::encodeName(base + QStringLiteral(".pipe"));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Outcome::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // A lock file left by an instance that crashed is free again: its lock went with it.
        m_lock = fd;
        listen(pipe);
        return Outcome::Mine;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK)
        return Outcome::Unavailable;
    // A lock whose holder never opens its pipe is not held by a running instance.
    return knock(pipe) ? Outcome::Taken : Outcome::Unavailable;
}

bool SingleInstance::Claim::listen(const QByteArray &pipe)
{
    struct stat info { };
    if (::lstat(pipe.constData(), &info) == 0 && !S_ISFIFO(info.st_mode))
        ::unlink(pipe.constData());
    if (::mkfifo(pipe.constData(), 0600) != 0 && errno != EEXIST)
        return false;
    // Opened for reading and writing, so that it never reads as closed when a knocking
    // launch lets go of it.
    m_pipe = ::open(pipe.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (m_pipe < 0)
        return false;
    auto *notifier = new QSocketNotifier(m_pipe, QSocketNotifier::Read, m_owner);
    QObject::connect(notifier, &QSocketNotifier::activated, m_owner, [this] { readPipe(); });
    return true;
}

bool SingleInstance::Claim::knock(const QByteArray &pipe)
{
    // The running instance may have taken the lock a moment ago and not yet opened its pipe.
    for (int attempt = 0; attempt < kKnockTries; ++attempt) {
        const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const char knock = 'A';
            [[maybe_unused]] const ssize_t written = ::write(fd, &knock, 1);
            ::close(fd);
            return true;
        }
        if (errno != ENXIO && errno != ENOENT)
            return false;
        QThread::msleep(kKnockGapMs);
    }
    return false;
}

void SingleInstance::Claim::readPipe()
{
    char buffer[64];
    bool knocked = false;
    while (::read(m_pipe, buffer, sizeof buffer) > 0)
        knocked = true;
    if (knocked)
        Q_EMIT m_owner->activated();
}

SingleInstance::SingleInstance(QString name, QString lockFolder, QObject *parent)
    : QObject(parent)
    , m_claim(std::make_unique<Claim>(this, std::move(name), std::move(lockFolder)))
{ }

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim()
{
    switch (m_claim->claimBus()) {
    case Outcome::Mine:
        return true;
    case Outcome::Taken:
        return false;
    case Outcome::Unavailable:
        break;
    }
    // Without a session bus (or where it refuses): the lock file; where neither can be
    // had, the process runs on its own.
    return m_claim->claimLock() != Outcome::Taken;
}

} // namespace platform
