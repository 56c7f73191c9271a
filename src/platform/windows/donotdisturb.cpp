#include "platform/donotdisturb.h"

#include <QTimer>

#include <utility>

#include <windows.h>

#include <shellapi.h>

namespace platform {
namespace {

/// Windows announces none of this: while followed, it is asked this often.
constexpr int kLookEveryMs = 5000;

/// Whether Windows says the user presents: busy with a full-screen program, a full-screen
/// Direct3D program (a game, a video) running, or presentation mode switched on. A locked
/// session or the quiet first hour after a new user's first login are no presentation.
bool presenting()
{
    QUERY_USER_NOTIFICATION_STATE state{};
    if (FAILED(SHQueryUserNotificationState(&state)))
        return false;
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN || state == QUNS_PRESENTATION_MODE;
}

} // namespace

/// Asks Windows every few seconds while started, and tells when the answer changes.
class DoNotDisturb::Desktop
{
public:
    explicit Desktop(DoNotDisturb &owner)
        : m_look(new QTimer(&owner))
    {
        m_look->setInterval(kLookEveryMs);
        m_look->setTimerType(Qt::VeryCoarseTimer);
        QObject::connect(m_look, &QTimer::timeout, &owner, [this, &owner] {
            const bool now = presenting();
            if (now != std::exchange(m_on, now))
                Q_EMIT owner.changed();
        });
    }
    void start()
    {
        if (m_look->isActive())
            return;
        m_on = presenting();
        m_look->start();
    }
    void stop() { m_look->stop(); }

private:
    QTimer *m_look;    // the owner's child: it goes with the owner
    bool m_on = false; // Windows' answer at the last look
};

DoNotDisturb::DoNotDisturb(State state, QObject *parent)
    : QObject(parent)
    , m_state(std::move(state))
    , m_desktop(std::make_unique<Desktop>(*this))
{ }

DoNotDisturb::~DoNotDisturb() = default;

void DoNotDisturb::start()
{
    if (!m_state)
        m_desktop->start();
}

void DoNotDisturb::stop()
{
    m_desktop->stop();
}

bool DoNotDisturb::isOn() const
{
    return m_state ? m_state() : presenting();
}

} // namespace platform
