#include "platform/desktopwindow.h"
#include "platform/x11/windowproperties.h"

#include <QAbstractNativeEventFilter>
#include <QPointer>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <vector>

namespace platform {
namespace {

// The window manager conversation (EWMH and ICCCM) over the toolkit's own X connection.

using x11::atom;
using x11::readList;
using x11::Reply;

void writeList(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
               const std::vector<uint32_t> &values)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32, uint32_t(values.size()), values.data());
}

xcb_window_t rootOf(xcb_connection_t *c, xcb_window_t window)
{
    const Reply<xcb_get_geometry_reply_t> reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
    return reply ? reply->root : xcb_window_t(XCB_WINDOW_NONE);
}

/// Whether a window manager that follows the desktop conventions is running: it names a
/// window of its own on the root window, which names itself again.
bool windowManagerRuns(xcb_connection_t *c, xcb_window_t root)
{
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t child = x11::firstWindow(readList(c, root, check, XCB_ATOM_WINDOW));
    return child != XCB_WINDOW_NONE && x11::firstWindow(readList(c, child, check, XCB_ATOM_WINDOW)) == child;
}

xcb_window_t parentOf(xcb_connection_t *c, xcb_window_t window)
{
    const Reply<xcb_query_tree_reply_t> reply(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return reply ? reply->parent : xcb_window_t(XCB_WINDOW_NONE);
}

/// Before mapping: whether the window manager is passed by (override-redirect). Such a
/// window is never moved, restacked, hidden with a workspace or focused by it; past it,
/// the window goes to the top of the stacking order.
void setPastWindowManager(xcb_connection_t *c, xcb_window_t window, bool past)
{
    const uint32_t value = past ? 1 : 0;
    xcb_change_window_attributes(c, window, XCB_CW_OVERRIDE_REDIRECT, &value);
    if (past) {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(c, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    }
}

/// Whether the window manager may give the window the keyboard focus: the input field
/// of WM_HINTS and WM_TAKE_FOCUS among its protocols. With neither, no window manager
/// focuses it, whatever activation is asked for.
void setFocusable(xcb_connection_t *c, xcb_window_t window, bool focusable)
{
    constexpr uint32_t inputHint = 1;
    std::vector<uint32_t> hints = readList(c, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    hints.resize(std::max<size_t>(hints.size(), 9));
    hints[0] |= inputHint;
    hints[1] = focusable ? 1 : 0;
    writeList(c, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, hints);

    const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS");
    const xcb_atom_t takeFocus = atom(c, "WM_TAKE_FOCUS");
    std::vector<uint32_t> list = readList(c, window, protocols, XCB_ATOM_ATOM);
    std::erase(list, takeFocus);
    if (focusable)
        list.push_back(takeFocus);
    writeList(c, window, protocols, XCB_ATOM_ATOM, list);
}

/// Before mapping: on every workspace (so on the one the user is on, whichever that
/// is, and on the next one he switches to), without taskbar or pager entry.
void putOnEveryWorkspace(xcb_connection_t *c, xcb_window_t window)
{
    writeList(c, window, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, {0xFFFFFFFFu});
    const xcb_atom_t stateAtom = atom(c, "_NET_WM_STATE");
    std::vector<uint32_t> state = readList(c, window, stateAtom, XCB_ATOM_ATOM);
    for (const char *name : {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t a = atom(c, name);
        if (std::find(state.begin(), state.end(), a) == state.end())
            state.push_back(a);
    }
    writeList(c, window, stateAtom, XCB_ATOM_ATOM, state);
}

/// Asks the window manager to activate a window on the user's behalf (source
/// indication 2), as a click of his at time would.
void askToActivate(xcb_connection_t *c, xcb_window_t root, xcb_window_t window, uint32_t time)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(c, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = time;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&message));
}

/// The top-level window of this program with the given native id, if any.
QWindow *ourWindow(WId id)
{
    if (id == 0)
        return nullptr;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [id](const QWindow *w) { return w->handle() && w->winId() == id; });
    return found == windows.end() ? nullptr : *found;
}

} // namespace

/// The X11 side of a window: the window manager conversation over the toolkit's own X
/// connection. On an X11 desktop with a window manager, while the window is shown it is on
/// every workspace and has no taskbar button; it is kept unfocusable until the user comes
/// to it, so that neither the window manager's rule for new windows nor the toolkit's
/// activation of a modal window takes the keys the user is typing into another program.
///
/// Window managers keep a focused full-screen window above every always-on-top window.
/// When the user works in one as the window appears, the window is shown past the window
/// manager instead (override-redirect): raised to the top of the stacking order, where it
/// stays, as window managers restack only the windows they handle among themselves; it is
/// on whatever workspace the user is on, and takes the keyboard focus itself when clicked.
class DesktopWindow::Desktop : public QObject, public QAbstractNativeEventFilter
{
public:
    Desktop(DesktopWindow *owner, QWidget *window)
        : m_owner(owner)
        , m_window(window)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    void aboutToShow();
    void aboutToHide();
    void restoreFocus();
    bool takesFocusAtOnce() const { return m_focusAtOnce; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Lets the window take the focus and asks the window manager to give it (or gives
    /// it at once, past the window manager).
    void takeFocus(unsigned long time);

    DesktopWindow *m_owner;
    QWidget *m_window;
    QPointer<QWindow> m_watched;
    bool m_managed = false;        // a window manager runs during the current showing
    bool m_overFullScreen = false; // the current showing is past the window manager
    bool m_focusAtOnce = true;     // one of our windows was active when it began
    bool m_unfocusable = false;    // shown, and kept from the focus until the user comes
    bool m_waitingForScreen = false;
    bool m_hadFocus = false;
    xcb_window_t m_previous = 0;  // the window that was active before the showing
    unsigned long m_userTime = 0; // time stamp of the user's last input in the window
};

void DesktopWindow::Desktop::aboutToShow()
{
    m_window->winId(); // the native window exists from here on
    if (QWindow *handle = m_window->windowHandle(); handle != m_watched) {
        m_watched = handle;
        handle->installEventFilter(this);
    }
    m_waitingForScreen = true;
    m_hadFocus = false;
    m_managed = false;
    m_overFullScreen = false;
    m_focusAtOnce = true;
    m_previous = 0;
    xcb_connection_t *c = x11::connection();
    const xcb_window_t window = xcb_window_t(m_window->winId());
    const xcb_window_t root = c ? rootOf(c, window) : xcb_window_t(XCB_WINDOW_NONE);
    if (root != XCB_WINDOW_NONE && windowManagerRuns(c, root)) {
        m_managed = true;
        m_previous = x11::activeWindow(c, root);
        m_focusAtOnce = ourWindow(m_previous) != nullptr;
        // Window managers keep the focused full-screen window above every other window
        // they handle; the only way over it without taking the focus is past them.
        // (Not while a window manager still holds the window in a frame of its own.)
        m_overFullScreen = !m_focusAtOnce && m_previous != XCB_WINDOW_NONE && x11::isFullScreen(c, m_previous)
                           && parentOf(c, window) == root;
        if (!m_overFullScreen)
            putOnEveryWorkspace(c, window);
        // Unfocusable until the user comes to it, so that neither the window manager's
        // rule for new windows nor the toolkit's activation of a modal window (when it
        // is mapped, and again whenever another window of ours gains or loses the
        // focus) takes the keys the user is typing into another program.
        m_unfocusable = !m_focusAtOnce;
        setFocusable(c, window, m_focusAtOnce);
    }
    if (root != XCB_WINDOW_NONE) {
        setPastWindowManager(c, window, m_overFullScreen); // reset for every other showing
        xcb_flush(c);
    }
    m_window->setAttribute(Qt::WA_ShowWithoutActivating, !m_focusAtOnce);
    m_watched->setProperty("_q_showWithoutActivating", !m_focusAtOnce); // user time 0 at the map
}

void DesktopWindow::Desktop::takeFocus(unsigned long time)
{
    m_unfocusable = false;
    if (xcb_connection_t *c = x11::connection()) {
        const xcb_window_t window = xcb_window_t(m_window->winId());
        if (m_overFullScreen) {
            // No window manager focuses a window past it: the window takes the focus
            // itself, as of the user's click; once it is hidden, the window manager is
            // asked to give it back to the full-screen window.
            xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window, uint32_t(time));
            m_hadFocus = true;
        } else {
            setFocusable(c, window, true);
            askToActivate(c, rootOf(c, window), window, uint32_t(time));
        }
        xcb_flush(c);
    }
}

void DesktopWindow::Desktop::aboutToHide()
{
    if (!m_managed || !m_hadFocus || !ourWindow(m_previous))
        return;
    if (xcb_connection_t *c = x11::connection()) {
        // A program may move the keyboard focus between its own windows while it has it.
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, m_previous, uint32_t(m_userTime));
        xcb_flush(c);
    }
}

void DesktopWindow::Desktop::restoreFocus()
{
    m_unfocusable = false;
    if (!m_managed || !m_hadFocus || m_previous == 0)
        return; // the focus never left the window the user was in
    m_managed = false;
    if (xcb_connection_t *c = x11::connection()) {
        askToActivate(c, rootOf(c, xcb_window_t(m_window->winId())), m_previous, uint32_t(m_userTime));
        xcb_flush(c);
    }
}

bool DesktopWindow::Desktop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_watched)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Expose:
        if (m_waitingForScreen && m_watched->isExposed()) {
            m_waitingForScreen = false;
            Q_EMIT m_owner->onScreen();
        }
        break;
    case QEvent::FocusIn:
        m_hadFocus = true;
        break;
    case QEvent::MouseButtonPress:
        m_userTime = static_cast<QInputEvent *>(event)->timestamp();
        if (m_unfocusable)
            takeFocus(m_userTime); // the user comes to the window
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        m_userTime = static_cast<QInputEvent *>(event)->timestamp();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool DesktopWindow::Desktop::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    // The user has come to another window of ours (he clicked it, or the window manager
    // gave it the focus): our program is the active one, so the window takes the focus,
    // as the modal window it is.
    if (m_unfocusable && eventType == "xcb_generic_event_t") {
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_FOCUS_IN) {
            const auto *focus = static_cast<const xcb_focus_in_event_t *>(message);
            if (focus->mode == XCB_NOTIFY_MODE_NORMAL && focus->event != xcb_window_t(m_window->winId())
                && ourWindow(focus->event))
                takeFocus(XCB_CURRENT_TIME);
        }
    }
    return false;
}

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
