// The additions around the program (menu, tray icon, pause, repeat, start at login,
// notifications) attached to the main window.
#pragma once

#include "companion/companion.h"

#include <memory>

namespace runtime {
struct Hooks;
}

namespace app {

class MainForm;

class CompanionWiring
{
public:
    /// What the additions get of form: its window and rows, the program's icon and path.
    static companion::Companion::Setup setupFor(MainForm &form, const runtime::Hooks &hooks);

    /// Puts up the additions and hooks them into form: its start action ends a pause
    /// first.
    CompanionWiring(MainForm &form, companion::Companion::Setup setup);
    ~CompanionWiring();

private:
    std::unique_ptr<companion::Companion> m_companion;
};

} // namespace app
