// A top-level window that must reach the user wherever he is working on the desktop.
#pragma once

#include <QObject>

#include <memory>

class QWidget;

namespace platform {

/// The desktop side of one top-level window that must reach the user wherever he is
/// working: while shown it is above the other programs' windows, on the workspace the
/// user is on and without a taskbar button of its own; it appears without taking the
/// keyboard focus from another program he is typing in (it has it at once when one of
/// our own windows was active), takes the focus when the user clicks it or another
/// window of ours, and as it is hidden the focus goes back to the window that had it
/// before. How each desktop is asked for this is its implementation's business (the X11
/// window manager conversation, the Windows window styles); where a desktop offers none
/// of it (Wayland, offscreen) the window shows as the toolkit shows it.
class DesktopWindow : public QObject
{
    Q_OBJECT
public:
    /// window: a top-level window with no transient owner; this object is its child.
    explicit DesktopWindow(QWidget *window);
    ~DesktopWindow() override;

    /// Call right before each showing.
    void aboutToShow();
    /// Call right before the window is hidden: if it has the focus and one of our own
    /// windows was active before it appeared, that window takes the focus back at once,
    /// so that the desktop has no focus to pass on by a rule of its own as the window
    /// goes.
    void aboutToHide();
    /// Call after the window has been hidden again: if it had the focus, the window that
    /// was active before it appeared gets the focus back.
    void restoreFocus();

    /// Whether the window is to take the keyboard focus as soon as it appears.
    bool takesFocusAtOnce() const;

Q_SIGNALS:
    /// The window has come on screen (mapped and exposed) after a showing.
    void onScreen();

public:
    class Desktop;

private:
    std::unique_ptr<Desktop> m_desktop;
};

} // namespace platform
