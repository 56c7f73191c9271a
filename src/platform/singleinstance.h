#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace platform {

/// One instance of the program per user session. The first launch claims the program's
/// name with the desktop; a later launch finds it taken, asks the running instance to
/// come forward and ends. On a freedesktop desktop the name is the program's name on the
/// session bus (answering the freedesktop Application interface), with a lock file and a
/// named pipe in the user's runtime folder where there is no session bus; on Windows a
/// local server named for the user, behind a lock file. The system lets go of the claim
/// when the process ends, however it ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    /// name: the program's application id. lockFolder: where the lock file and its pipe
    /// live (the user's runtime folder when empty).
    explicit SingleInstance(QString name, QString lockFolder = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    /// Makes this process the program's instance and returns true, or, when another one
    /// runs, asks it to come forward and returns false: this process should then end.
    /// Where no claim can be made at all, the process runs on its own.
    bool claim();

Q_SIGNALS:
    /// Another launch asked this instance to come forward.
    void activated();

public:
    class Claim;

private:
    std::unique_ptr<Claim> m_claim;
};

} // namespace platform
