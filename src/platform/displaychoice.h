#pragma once

namespace platform {

/// The choices about the display that must be made before the application object opens
/// it: which of the desktop's display systems the program uses, and how it draws there.
class DisplayChoice
{
public:
    /// Sets them in the environment, leaving every choice the user made himself.
    static void prepare();
};

} // namespace platform
