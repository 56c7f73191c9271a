#include "platform/displaychoice.h"

#include <QByteArray>
#include <QtGlobal>

namespace platform {

void DisplayChoice::prepare()
{
    // A reminder must open above the window the user is working in. Wayland does not let
    // a program keep its own window on top, X11 does: in a Wayland session that also
    // runs XWayland, prefer it, unless the user chose a platform himself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    // While slots count, the main window repaints three small boxes each second. Drawn
    // through shared memory with the X server, each repaint first waits for a round trip
    // to the server (so as not to overwrite pixels it may still be reading), which wakes
    // the program twice more per second; sent over the connection, the few changed pixels
    // need no reply. Setting QT_XCB_NO_MITSHM to an empty value brings shared memory back.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
}

} // namespace platform
