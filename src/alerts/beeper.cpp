#include "alerts/beeper.h"

#include "runtime/hooks.h"
#include "runtime/timer.h"

#include <QLineEdit>

namespace alerts {

Beeper::Beeper(QLineEdit *soundSwitch, runtime::Timer *timer, const runtime::Hooks &hooks)
    : m_switch(soundSwitch)
    , m_timer(timer)
    , m_hooks(hooks)
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
    if (!m_quiet && m_switch->text() != QStringLiteral("关"))
        m_timer->setEnabled(true);
}

void Beeper::setQuiet(bool quiet)
{
    m_quiet = quiet;
    if (quiet)
        stop();
}

void Beeper::stop()
{
    m_timer->setEnabled(false);
}

void Beeper::ring()
{
    m_hooks.Beep();
}

} // namespace alerts
