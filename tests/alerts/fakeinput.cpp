// The user's hands in a KWin Wayland session: keys and clicks made through KWin's fake
// input interface, which KWin handles as it handles a real keyboard and mouse (they go
// to the window with the focus, or under the pointer, and count as the user's input).
// Reads commands from its standard input, one a line, and carries each out at once:
//
//   click X Y        the pointer to X, Y of the screen, then the left button pressed
//                    and released there
//   key CODE         a key pressed and released (a Linux input event code: 28 is Enter)
//   type MS FILE     from now on a digit key every MS milliseconds, 0 to 9 over and over,
//                    each digit appended to FILE once it has been sent
//   stop             no more typing
//
// Exits when its standard input ends, 1 when KWin has no fake input interface.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>

namespace {

org_kde_kwin_fake_input *g_input = nullptr;
uint32_t g_offered = 0; // the version of the interface the compositor offers

void global(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0)
        g_offered = version;
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        g_input = static_cast<org_kde_kwin_fake_input *>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void globalRemove(void *, wl_registry *, uint32_t) { }
const wl_registry_listener kRegistry = {global, globalRemove};

constexpr uint32_t kLeftButton = 0x110;                            // BTN_LEFT
constexpr uint32_t kDigitCodes[10] = {11, 2, 3, 4, 5, 6, 7, 8, 9, 10}; // KEY_0 .. KEY_9

void key(wl_display *display, uint32_t code)
{
    org_kde_kwin_fake_input_keyboard_key(g_input, code, 1);
    org_kde_kwin_fake_input_keyboard_key(g_input, code, 0);
    wl_display_roundtrip(display);
}

} // namespace

int main()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::cerr << "no Wayland display\n";
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistry, nullptr);
    wl_display_roundtrip(display);
    if (!g_input) {
        std::cerr << "the compositor offers no fake input of version 4 (offered: " << g_offered << ")\n";
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(g_input, "Quorvane desktop test", "types and clicks as the user");
    wl_display_roundtrip(display);

    int interval = 0; // typing every interval ms; 0 while not typing
    std::string typedFile;
    unsigned typed = 0;
    auto nextKey = std::chrono::steady_clock::now();
    std::string pending;
    for (;;) {
        int timeout = -1;
        if (interval > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                nextKey - std::chrono::steady_clock::now());
            timeout = int(std::max<long long>(0, left.count()));
        }
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (poll(&in, 1, timeout) > 0) {
            char buffer[256];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0)
                break;
            pending.append(buffer, size_t(n));
            for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
                std::istringstream line(pending.substr(0, end));
                std::string command;
                line >> command;
                if (command == "click") {
                    double x = 0, y = 0;
                    line >> x >> y;
                    org_kde_kwin_fake_input_pointer_motion_absolute(g_input, wl_fixed_from_double(x),
                                                                    wl_fixed_from_double(y));
                    wl_display_roundtrip(display);
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    org_kde_kwin_fake_input_button(g_input, kLeftButton, 1);
                    wl_display_roundtrip(display);
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    org_kde_kwin_fake_input_button(g_input, kLeftButton, 0);
                    wl_display_roundtrip(display);
                } else if (command == "key") {
                    uint32_t code = 0;
                    line >> code;
                    key(display, code);
                } else if (command == "type") {
                    line >> interval >> typedFile;
                    nextKey = std::chrono::steady_clock::now();
                } else if (command == "stop") {
                    interval = 0;
                }
            }
        }
        if (interval > 0 && std::chrono::steady_clock::now() >= nextKey) {
            key(display, kDigitCodes[typed % 10]);
            std::ofstream(typedFile, std::ios::app) << char('0' + typed % 10);
            ++typed;
            nextKey += std::chrono::milliseconds(interval);
        }
    }
    wl_display_disconnect(display);
    return 0;
}
