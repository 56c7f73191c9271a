#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

/// The desktop's bell, as other desktop programs ring it: on a freedesktop desktop the
/// sound theme's "bell-window-system" sound (or "bell") through libcanberra, loaded at
/// the first ring; on Windows the system's default sound, which the user's sound scheme
/// may have switched off; elsewhere the toolkit's own beep. A bell that cannot be
/// sounded is silent, never an error.
class SystemBell
{
public:
    /// applicationName and applicationId tell the sound server who rings.
    SystemBell(const QString &applicationName, const QString &applicationId);

    /// Sounds the bell once.
    void ring();

private:
    QByteArray m_name, m_id;
};

} // namespace platform
