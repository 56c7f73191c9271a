#include "platform/desktopwindow.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace platform {

/// Where the desktop offers no way to keep a window above the others (or none is known
/// to the program), the window shows as the toolkit shows it; all that is watched is when
/// it comes on screen.
class DesktopWindow::Desktop : public QObject
{
public:
    Desktop(DesktopWindow *owner, QWidget *window)
        : m_owner(owner)
        , m_window(window)
    { }

    void aboutToShow()
    {
        m_window->winId(); // the native window exists from here on
        if (QWindow *handle = m_window->windowHandle(); handle != m_watched) {
            m_watched = handle;
            handle->installEventFilter(this);
        }
        m_waitingForScreen = true;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_watched && event->type() == QEvent::Expose && m_waitingForScreen && m_watched->isExposed()) {
            m_waitingForScreen = false;
            Q_EMIT m_owner->onScreen();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    DesktopWindow *m_owner;
    QWidget *m_window;
    QPointer<QWindow> m_watched;
    bool m_waitingForScreen = false;
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

void DesktopWindow::aboutToHide() { }

void DesktopWindow::restoreFocus() { }

bool DesktopWindow::takesFocusAtOnce() const
{
    return true;
}

} // namespace platform
