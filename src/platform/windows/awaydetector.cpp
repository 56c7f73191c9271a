#include "platform/awaydetector.h"

#include <windows.h>
#include <wtsapi32.h>

namespace platform {
namespace {

const wchar_t kWindowClass[] = L"QuorvaneSessionWatch";

/// The time since the last input of this session, from the system's tick count.
std::optional<std::chrono::milliseconds> lastInputAge()
{
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info))
        return std::nullopt;
    // Both are tick counts of 32 bits; the difference is right across their wrap-around.
    return std::chrono::milliseconds(DWORD(GetTickCount() - info.dwTime));
}

} // namespace

/// A hidden message window that Windows tells of the session being locked and unlocked
/// (WM_WTSSESSION_CHANGE); the toolkit's event loop delivers its messages.
class AwayDetector::Service
{
public:
    explicit Service(AwayDetector &owner)
        : m_owner(owner)
    { }
    ~Service() { stop(); }

    void start()
    {
        if (m_window)
            return;
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Service::windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassW(&windowClass); // fails harmlessly when already registered
        m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        if (!m_window)
            return;
        SetWindowLongPtrW(m_window, GWLP_USERDATA, LONG_PTR(this));
        WTSRegisterSessionNotification(m_window, NOTIFY_FOR_THIS_SESSION);
    }
    void stop()
    {
        if (!m_window)
            return;
        WTSUnRegisterSessionNotification(m_window);
        DestroyWindow(m_window);
        m_window = nullptr;
        m_locked = false;
    }

    bool m_locked = false;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_WTSSESSION_CHANGE) {
            if (auto *self = reinterpret_cast<Service *>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
                if (wParam == WTS_SESSION_LOCK)
                    self->setLocked(true);
                else if (wParam == WTS_SESSION_UNLOCK)
                    self->setLocked(false);
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    void setLocked(bool locked)
    {
        if (locked == m_locked)
            return;
        m_locked = locked;
        Q_EMIT m_owner.lockedChanged(locked);
    }

    AwayDetector &m_owner;
    HWND m_window = nullptr;
};

AwayDetector::AwayDetector(IdleTime idle, QObject *parent)
    : QObject(parent)
    , m_idle(std::move(idle))
    , m_service(std::make_unique<Service>(*this))
{ }

AwayDetector::~AwayDetector() = default;

void AwayDetector::start()
{
    m_service->start();
}

void AwayDetector::stop()
{
    m_service->stop();
}

bool AwayDetector::isLocked() const
{
    return m_service->m_locked;
}

std::optional<std::chrono::milliseconds> AwayDetector::idleTime() const
{
    return m_idle ? m_idle() : lastInputAge();
}

} // namespace platform
