#pragma once

#include <array>

namespace settings {

/// The nine saved intervals, kept for the whole run: slot 1 hours, minutes, seconds,
/// then slot 2, then slot 3 -- the order of the time boxes and of the settings file.
/// Filled at start-up from the settings file and by the save command; nothing else
/// writes them.
class SavedIntervals
{
public:
    static constexpr int kCount = 9;
    using Values = std::array<double, kCount>;

    const Values &values() const { return m_values; }
    void set(const Values &values) { m_values = values; }

private:
    Values m_values{};
};

} // namespace settings
