#pragma once

class QLineEdit;

namespace runtime {
struct Hooks;
class Timer;
} // namespace runtime

namespace alerts {

/// The sound switch (the main window's Text1: every text but exactly "关" means on) and
/// the beeper (Timer4: one bell per tick). Handed to the reminder windows, which start
/// the beeper when they open and stop it when acknowledged.
class Beeper
{
public:
    Beeper(QLineEdit *soundSwitch, runtime::Timer *timer, const runtime::Hooks &hooks);

    /// The switch to "开" or "关"; neither touches the beeper itself.
    void switchOn();
    void switchOff();

    /// Starts beeping unless the switch reads exactly "关", or the beeper is kept quiet.
    void startUnlessSwitchedOff();
    void stop();
    /// Keeps the beeper quiet (it stops, and starts for nothing meanwhile), or lets it
    /// sound again: the caller starts it again if a reminder is still open.
    void setQuiet(bool quiet);

    /// One bell, for a tick of the beeper.
    void ring();

private:
    QLineEdit *m_switch;
    runtime::Timer *m_timer;
    const runtime::Hooks &m_hooks;
    bool m_quiet = false;
};

} // namespace alerts
