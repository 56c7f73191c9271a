// The name the desktop knows the running program by, beyond its menu entry.
#pragma once

namespace platform {

/// The program's application id: its session bus name, the name of its desktop entry,
/// of its autostart entry and of its AppStream data.
inline constexpr char16_t kAppId[] = u"io.github.quorvane.Quorvane";

} // namespace platform
