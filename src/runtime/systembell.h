#pragma once

#include <QByteArray>
#include <QString>

namespace runtime {

/// The desktop sound theme's bell, as other desktop programs ring it: its
/// "bell-window-system" sound, or "bell" where the theme has none, through libcanberra;
/// the toolkit's own beep where libcanberra is not installed or plays neither.
/// libcanberra, with the codecs it links, is loaded at the first ring rather than at
/// start-up: the bell rings only while a reminder is shown. A bell that cannot be
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

} // namespace runtime
