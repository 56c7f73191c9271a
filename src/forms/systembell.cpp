#include "forms/systembell.h"

#include <QApplication>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <dlfcn.h>

#include <cstdint>
#endif

namespace forms {
namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// The three entry points of libcanberra the bell uses, as the library's stable interface
// (soname libcanberra.so.0) declares them. The property lists end with a null pointer.
struct ca_context;
using CaContextCreate = int (*)(ca_context **);
using CaContextChangeProps = int (*)(ca_context *, ...);
using CaContextPlay = int (*)(ca_context *, std::uint32_t, ...);
constexpr int kCaSuccess = 0;

struct SoundTheme {
    CaContextPlay play = nullptr;
    ca_context *context = nullptr;
};

/// libcanberra with a context for this program, loaded on first use; empty when the
/// library is not installed or no context can be made.
const SoundTheme &soundTheme()
{
    static const SoundTheme theme = [] {
        SoundTheme t;
        void *library = dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (!library)
            return t;
        const auto create = reinterpret_cast<CaContextCreate>(dlsym(library, "ca_context_create"));
        const auto changeProps = reinterpret_cast<CaContextChangeProps>(dlsym(library, "ca_context_change_props"));
        const auto play = reinterpret_cast<CaContextPlay>(dlsym(library, "ca_context_play"));
        ca_context *context = nullptr;
        if (!create || !changeProps || !play || create(&context) != kCaSuccess || !context)
            return t; // the library stays loaded: it is asked only once
        changeProps(context, "application.name", "Quorvane", "application.id", "quorvane", nullptr);
        t.play = play;
        t.context = context;
        return t;
    }();
    return theme;
}
#endif

} // namespace

void systemBell()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The desktop sound theme's bell, as other desktop programs ring it.
    const SoundTheme &theme = soundTheme();
    if (theme.context) {
        if (theme.play(theme.context, 0, "event.id", "bell-window-system", nullptr) == kCaSuccess)
            return;
        if (theme.play(theme.context, 0, "event.id", "bell", nullptr) == kCaSuccess)
            return;
    }
#endif
    QApplication::beep();
}

} // namespace forms
