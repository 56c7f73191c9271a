// The nine saved intervals, alive for the whole run: slot 1 hours, minutes, seconds,
// then slot 2, then slot 3 -- the order of the time boxes and of the settings file.
#pragma once

#include <array>

namespace Module1 {

inline constexpr int kSavedCount = 9;
using SavedIntervals = std::array<double, kSavedCount>;

/// Written only at start-up (from the settings file) and by the save command.
inline SavedIntervals savedIntervals{};

} // namespace Module1
