// The program's three reminders.
#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace alerts {

/// One of the three reminders, in the order of their rows in the main window and of their
/// numbers in the settings file: water (Form2), eye rest (Form3), toilet (Form4).
enum class Slot { Water, EyeRest, Toilet };

/// The three, in that order.
inline constexpr std::array<Slot, 3> kSlots{Slot::Water, Slot::EyeRest, Slot::Toilet};

/// A slot's place in that order, for arrays of three.
constexpr std::size_t indexOf(Slot slot)
{
    return std::size_t(slot);
}

/// What a slot reminds of, as the main window names its row.
inline QString topicOf(Slot slot)
{
    switch (slot) {
    case Slot::Water:
        return QStringLiteral("喝水");
    case Slot::EyeRest:
        return QStringLiteral("远眺");
    case Slot::Toilet:
        break;
    }
    return QStringLiteral("厕所");
}

} // namespace alerts
