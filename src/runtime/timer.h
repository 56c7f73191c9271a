#pragma once

#include <QTimer>

namespace runtime {

/// A timer switched by its Enabled state, as the program's handlers use it:
/// off from creation; false -> true starts a fresh interval; true -> true changes
/// nothing (the running interval goes on); true -> false stops it.
/// Its Timer event is QTimer::timeout, raised once per interval while enabled, also
/// while a modal window is open.
class Timer : public QTimer
{
    Q_OBJECT
public:
    explicit Timer(QObject *parent = nullptr, int intervalMs = 1000);

    bool Enabled() const { return isActive(); }
    void setEnabled(bool on);
};

} // namespace runtime
