#include "platform/displaychoice.h"

namespace platform {

void DisplayChoice::prepare()
{
    // One display system, drawn on as the toolkit draws: nothing to choose.
}

} // namespace platform
