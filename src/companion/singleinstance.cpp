#include "companion/singleinstance.h"

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

namespace companion {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
// How long a later launch waits for the running instance: to answer on the bus, or to
// open its pipe when both were started at the same moment.
constexpr int kAnswerMs = 5000;
constexpr int kKnockTries = 30;
constexpr unsigned kKnockGapMs = 100;

} // namespace

SingleInstance::SingleInstance(QString name, QString lockFolder, QObject *parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_lockFolder(std::move(lockFolder))
{ }

SingleInstance::~SingleInstance()
{
    if (m_pipe >= 0)
        ::close(m_pipe);
    if (m_lock >= 0)
        ::close(m_lock); // lets go of the lock
}

QString SingleInstance::objectPath() const
{
    return QLatin1Char('/') + QString(m_name).replace(QLatin1Char('.'), QLatin1Char('/'));
}

bool SingleInstance::claim()
{
    switch (claimBus()) {
    case Claim::Mine:
        m_way = Way::SessionBus;
        return true;
    case Claim::Taken:
        return false;
    case Claim::Unavailable:
        break;
    }
    switch (claimLock()) {
    case Claim::Mine:
        m_way = Way::LockFile;
        return true;
    case Claim::Taken:
        return false;
    case Claim::Unavailable:
        break;
    }
    m_way = Way::Alone;
    return true;
}

SingleInstance::Claim SingleInstance::claimBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Claim::Unavailable;
    // The object answers before the name is taken, so that a launch that finds the name
    // taken always finds someone to ask.
    if (!bus.registerObject(objectPath(), this, QDBusConnection::ExportScriptableSlots))
        return Claim::Unavailable;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        m_name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Claim::Mine;
    bus.unregisterObject(objectPath());
    if (!reply.isValid())
        return Claim::Unavailable;
    QDBusMessage activate =
        QDBusMessage::createMethodCall(m_name, objectPath(), kInterface, QStringLiteral("Activate"));
    QVariantMap platformData;
    if (const QByteArray id = qgetenv("DESKTOP_STARTUP_ID"); !id.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(id));
    activate << platformData;
    activate.setAutoStartService(false);
    bus.call(activate, QDBus::Block, kAnswerMs); // whatever it answers, this launch is done
    return Claim::Taken;
}

SingleInstance::Claim SingleInstance::claimLock()
{
    if (m_lockFolder.isEmpty())
        m_lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation); // $XDG_RUNTIME_DIR
    if (m_lockFolder.isEmpty() || !QDir().mkpath(m_lockFolder))
        return Claim::Unavailable;
    const QString base = m_lockFolder + QLatin1Char('/') + m_name;
    const QByteArray lockPath = QFile::encodeName(base + QStringLiteral(".lock"));
    const QByteArray pipe = QFile::encodeName(base + QStringLiteral(".pipe"));
    const int fd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Claim::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // A lock file left by an instance that crashed is free again: its lock went with it.
        m_lock = fd;
        listen(pipe);
        return Claim::Mine;
    }
    const int error = errno;
    ::close(fd);
    if (error != EWOULDBLOCK)
        return Claim::Unavailable;
    knock(pipe);
    return Claim::Taken;
}

bool SingleInstance::listen(const QByteArray &pipe)
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
    m_notifier = new QSocketNotifier(m_pipe, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SingleInstance::readPipe);
    return true;
}

void SingleInstance::knock(const QByteArray &pipe)
{
    // The running instance may have taken the lock a moment ago and not yet opened its pipe.
    for (int attempt = 0; attempt < kKnockTries; ++attempt) {
        const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            const char knock = 'A';
            [[maybe_unused]] const ssize_t written = ::write(fd, &knock, 1);
            ::close(fd);
            return;
        }
        if (errno != ENXIO && errno != ENOENT)
            return;
        QThread::msleep(kKnockGapMs);
    }
}

void SingleInstance::readPipe()
{
    char buffer[64];
    bool knocked = false;
    while (::read(m_pipe, buffer, sizeof buffer) > 0)
        knocked = true;
    if (knocked)
        Q_EMIT activated();
}

void SingleInstance::Activate(const QVariantMap &)
{
    Q_EMIT activated();
}

void SingleInstance::Open(const QStringList &, const QVariantMap &)
{
    Q_EMIT activated(); // the program opens no files: coming forward is all it can do
}

void SingleInstance::ActivateAction(const QString &, const QVariantList &, const QVariantMap &)
{
    Q_EMIT activated();
}

} // namespace companion
