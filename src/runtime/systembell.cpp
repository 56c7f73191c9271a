#include "runtime/systembell.h"

#include <QApplication>

#ifdef QUORVANE_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace runtime {

SystemBell::SystemBell(const QString &applicationName, const QString &applicationId)
    : m_name(applicationName.toUtf8())
    , m_id(applicationId.toUtf8())
{
}

void SystemBell::ring()
{
#ifdef QUORVANE_HAVE_CANBERRA
    // One player for the whole run, made at the first ring: a sound still playing must
    // not lose its player, and the sound server then knows the program by one name.
    static ca_context *const context = [this] {
        ca_context *c = nullptr;
        if (ca_context_create(&c) != CA_SUCCESS)
            return static_cast<ca_context *>(nullptr);
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, m_name.constData(), CA_PROP_APPLICATION_ID,
                                m_id.constData(), nullptr);
        return c;
    }();
    if (context) {
        if (ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell-window-system", nullptr) == CA_SUCCESS)
            return;
        if (ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell", nullptr) == CA_SUCCESS)
            return;
    }
#endif
    QApplication::beep();
}

} // namespace runtime
