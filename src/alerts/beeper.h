#pragma once

class QLineEdit;

namespace runtime {
struct Platform;
class Timer;
} // namespace runtime

namespace alerts {

/// The sound switch (the main window's Text1: every text but exactly "关" means on) and
/// the beeper (Timer4: one bell per tick). Handed to the reminder windows, which start
/// the beeper when they open and stop it when acknowledged.
class Beeper
{
public:
    Beeper(QLineEdit *soundSwitch, runtime::Timer *timer, const runtime::Platform &platform);

    /// The switch to "开" or "关"; neither touches the beeper itself.
    void switchOn();
    void switchOff();

    /// Starts beeping unless the switch reads exactly "关".
    void startUnlessSwitchedOff();
    void stop();

    /// One bell, for a tick of the beeper.
    void ring();

private:
    QLineEdit *m_switch;
    runtime::Timer *m_timer;
    const runtime::Platform &m_platform;
};

} // namespace alerts
