// A top-level window that must reach the user wherever he is working on the desktop.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;

namespace runtime {

/// The desktop side of one top-level window that must reach the user wherever he is
/// working. On an X11 desktop with a window manager, while the window is shown it is on
/// every workspace and has no taskbar button; it appears without taking the keyboard
/// focus from another program (it has it at once when one of our own windows was
/// active), takes the focus when the user clicks it or another window of ours, and as it
/// is hidden the focus goes back to the window that had it before.
///
/// Window managers keep a focused full-screen window above every always-on-top window.
/// When the user works in one as the window appears, the window is shown past the
/// window manager instead (override-redirect): raised to the top of the stacking order,
/// where it stays, as window managers restack only the windows they handle among
/// themselves; it is on whatever workspace the user is on, and takes the keyboard focus
/// itself when clicked.
///
/// Elsewhere (Wayland, offscreen, an X server without a window manager) the window shows
/// as the toolkit shows it.
class DesktopWindow : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    /// window: a top-level window with no transient owner; this object is its child.
    explicit DesktopWindow(QWidget *window);

    /// Call right before each showing.
    void aboutToShow();
    /// Call right before the window is hidden: if it has the focus and one of our own
    /// windows was active before it appeared, that window takes the focus back at once,
    /// so that the window manager has no focus to pass on by a rule of its own as the
    /// window goes (xfwm4 gives it to the topmost window of the window's layer, an
    /// always-on-top window of another program).
    void aboutToHide();
    /// Call after the window has been hidden again: if it had the focus, the window that
    /// was active before it appeared gets the focus back through the window manager.
    void restoreFocus();

    /// Whether the window is to take the keyboard focus as soon as it appears.
    bool takesFocusAtOnce() const { return m_focusAtOnce; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    /// The window has come on screen (mapped and exposed) after a showing.
    void onScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Lets the window take the focus and asks the window manager to give it (or gives
    /// it at once, past the window manager).
    void takeFocus(unsigned long time);

    QWidget *m_window;
    QPointer<QWindow> m_watched;
    bool m_managed = false;        // a window manager runs during the current showing
    bool m_overFullScreen = false; // the current showing is past the window manager
    bool m_focusAtOnce = true;     // one of our windows was active when it began
    bool m_unfocusable = false;    // shown, and kept from the focus until the user comes
    bool m_waitingForScreen = false;
    bool m_hadFocus = false;
    unsigned m_previous = 0;      // the window that was active before the showing
    unsigned long m_userTime = 0; // time stamp of the user's last input in the window
};

} // namespace runtime
