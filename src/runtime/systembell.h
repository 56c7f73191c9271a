#pragma once

#include <QByteArray>
#include <QString>

namespace runtime {

/// The desktop sound theme's bell, as other desktop programs ring it (event
/// "bell-window-system", else "bell"); the toolkit's own beep where the sound theme
/// cannot be played. A bell that cannot sound at all stays silent.
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

} // namespace runtime
