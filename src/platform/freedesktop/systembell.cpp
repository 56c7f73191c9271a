#include "platform/systembell.h"

#include <QApplication>

#include <dlfcn.h>

#include <cstdint>

namespace platform {
namespace {

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

/// libcanberra with one player for the whole run, loaded at the first ring (a sound still
/// playing must not lose its player); empty when the library is not installed or no
/// player can be made.
const SoundTheme &soundTheme(const QByteArray &name, const QByteArray &id)
{
    static const SoundTheme theme = [&] {
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
        changeProps(context, "application.name", name.constData(), "application.id", id.constData(), nullptr);
        t.play = play;
        t.context = context;
        return t;
    }();
    return theme;
}

} // namespace

SystemBell::SystemBell(const QString &applicationName, const QString &applicationId)
    : m_name(applicationName.toUtf8())
    , m_id(applicationId.toUtf8())
{ }

void SystemBell::ring()
{
    const SoundTheme &theme = soundTheme(m_name, m_id);
    if (theme.context) {
        if (theme.play(theme.context, 0, "event.id", "bell-window-system", nullptr) == kCaSuccess)
            return;
        if (theme.play(theme.context, 0, "event.id", "bell", nullptr) == kCaSuccess)
            return;
    }
    QApplication::beep(); // libcanberra is not installed, or plays neither sound
}

} // namespace platform
