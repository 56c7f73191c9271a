#include "reminders/reminders.h"

#include "alerts/beeper.h"

#include <algorithm>

namespace reminders {
namespace {

constexpr unsigned kHoldsCountdowns = 1u << unsigned(Reminders::Hold::Pause) | 1u << unsigned(Reminders::Hold::Away)
                                      | 1u << unsigned(Reminders::Hold::OffHours);
constexpr unsigned kHoldsOpening = 1u << unsigned(Reminders::Hold::Presenting);
constexpr unsigned kSilences = 1u << unsigned(Reminders::Hold::Away) | 1u << unsigned(Reminders::Hold::Presenting);
constexpr unsigned kHoldsTimes = 1u << unsigned(Reminders::Hold::Pause) | 1u << unsigned(Reminders::Hold::Away);

} // namespace

Reminders::Reminders(QWidget *form, alerts::Beeper &beeper,
                     std::function<alerts::ReminderWindow *(alerts::Slot)> makeWindow, QObject *parent)
    : QObject(parent)
    , m_beeper(beeper)
{
    for (const alerts::Slot k : alerts::kSlots)
        m_slots[alerts::indexOf(k)] =
            std::make_unique<ReminderSlot>(form, k, [makeWindow, k] { return makeWindow(k); });
}

Reminders::~Reminders() = default;

void Reminders::hold(Hold why)
{
    const unsigned before = m_holds;
    m_holds |= bit(why);
    apply(before);
}

void Reminders::release(Hold why)
{
    const unsigned before = m_holds;
    m_holds &= ~bit(why);
    apply(before);
}

void Reminders::apply(unsigned before)
{
    if (before == m_holds)
        return;
    for (auto &slot : m_slots) {
        slot->holdCountdown(m_holds & kHoldsCountdowns);
        slot->holdOpening(m_holds & kHoldsOpening);
    }
    const bool quiet = m_holds & kSilences;
    if (quiet != bool(before & kSilences)) {
        m_beeper.setQuiet(quiet);
        if (!quiet && std::any_of(m_slots.begin(), m_slots.end(), [](const auto &s) { return s->isReminderOpen(); }))
            m_beeper.startUnlessSwitchedOff();
    }
    Q_EMIT holdsChanged();
}

bool Reminders::anyCounting() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const auto &s) { return s->isCounting(); });
}

bool Reminders::timesInUse() const
{
    return anyCounting() || (m_holds & kHoldsTimes);
}

} // namespace reminders
