#pragma once

namespace forms {

/// Sounds the desktop sound theme's bell once: its "bell-window-system" sound, or "bell"
/// where the theme has none, through libcanberra; the toolkit's own beep where libcanberra
/// is not installed or plays neither. libcanberra, with the codecs it links, is loaded at
/// the first bell rather than at start-up: the bell rings only while a reminder is shown.
/// A bell that cannot be sounded is silent, never an error.
void systemBell();

} // namespace forms
