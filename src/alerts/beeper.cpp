#include "alerts/beeper.h"

#include "runtime/platform.h"
#include "runtime/timer.h"

#include <QLineEdit>

namespace alerts {

Beeper::Beeper(QLineEdit *soundSwitch, runtime::Timer *timer, const runtime::Platform &platform)
    : m_switch(soundSwitch)
    , m_timer(timer)
    , m_platform(platform)
{ }

void Beeper::switchOn()
{
    m_switch->setText(QStringLiteral("开"));
}

void Beeper::switchOff()
{
    m_switch->setText(QStringLiteral("关"));
}

void Beeper::startUnlessSwitchedOff()
{
    if (m_switch->text() != QStringLiteral("关"))
        m_timer->setEnabled(true);
}

void Beeper::stop()
{
    m_timer->setEnabled(false);
}

void Beeper::ring()
{
    m_platform.Beep();
}

} // namespace alerts
