#include "runtime/timer.h"

namespace runtime {

Timer::Timer(QObject *parent, int intervalMs)
    : QTimer(parent)
{
    setTimerType(Qt::PreciseTimer);
    setInterval(intervalMs);
}

void Timer::setEnabled(bool on)
{
    if (!on)
        stop();
    else if (!isActive())
        start();
}

} // namespace runtime
