#include "platform/desktopwindow.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <windows.h>

namespace platform {

/// The Windows side of a window: topmost (the window asks for it itself), a tool window
/// without a task bar button, shown without activation unless one of our own windows was
/// the foreground window, so that the keys the user types into another program stay
/// there; Windows activates it when he clicks it. The main window's task bar button
/// flashes meanwhile. As it is hidden, the window that was in the foreground before it
/// gets the foreground back if the reminder had taken it.
class DesktopWindow::Desktop : public QObject
{
public:
    Desktop(DesktopWindow *owner, QWidget *window)
        : m_owner(owner)
        , m_window(window)
    { }

    void aboutToShow()
    {
        const HWND window = reinterpret_cast<HWND>(m_window->winId());
        if (QWindow *handle = m_window->windowHandle(); handle != m_watched) {
            m_watched = handle;
            handle->installEventFilter(this);
        }
        m_waitingForScreen = true;
        m_hadFocus = false;
        m_previous = GetForegroundWindow();
        DWORD process = 0;
        GetWindowThreadProcessId(m_previous, &process);
        m_focusAtOnce = process == GetCurrentProcessId();
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
        SetWindowLongPtrW(window, GWL_EXSTYLE, (style | WS_EX_TOOLWINDOW) & ~LONG_PTR(WS_EX_APPWINDOW));
        m_window->setAttribute(Qt::WA_ShowWithoutActivating, !m_focusAtOnce);
    }

    void aboutToHide()
    {
        // A program may move the foreground between its own windows while it has it.
        if (m_hadFocus && m_focusAtOnce && IsWindow(m_previous))
            SetForegroundWindow(m_previous);
    }

    void restoreFocus()
    {
        if (m_hadFocus && !m_focusAtOnce && IsWindow(m_previous))
            SetForegroundWindow(m_previous);
        m_hadFocus = false;
    }

    bool takesFocusAtOnce() const { return m_focusAtOnce; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_watched) {
            if (event->type() == QEvent::Expose && m_waitingForScreen && m_watched->isExposed()) {
                m_waitingForScreen = false;
                if (!m_focusAtOnce)
                    SetWindowPos(reinterpret_cast<HWND>(m_window->winId()), HWND_TOPMOST, 0, 0, 0, 0,
                                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                Q_EMIT m_owner->onScreen();
            } else if (event->type() == QEvent::FocusIn) {
                m_hadFocus = true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    DesktopWindow *m_owner;
    QWidget *m_window;
    QPointer<QWindow> m_watched;
    HWND m_previous = nullptr; // the foreground window before the showing
    bool m_focusAtOnce = true; // one of our windows was in the foreground
    bool m_waitingForScreen = false;
    bool m_hadFocus = false;
};

DesktopWindow::DesktopWindow(QWidget *window)
    : QObject(window)
    , m_desktop(std::make_unique<Desktop>(this, window))
{ }

DesktopWindow::~DesktopWindow() = default;

void DesktopWindow::aboutToShow()
{
    m_desktop->aboutToShow();
}

void DesktopWindow::aboutToHide()
{
    m_desktop->aboutToHide();
}

void DesktopWindow::restoreFocus()
{
    m_desktop->restoreFocus();
}

bool DesktopWindow::takesFocusAtOnce() const
{
    return m_desktop->takesFocusAtOnce();
}

} // namespace platform
