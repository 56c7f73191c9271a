#pragma once

#include <QObject>
#include <QTimer>

namespace platform {

/// Gives back the heap memory that the program holds only because it once did something.
///
/// The program sits in the background all day, redrawing a few digits a second. Showing a
/// window, a message box or a menu leaves freed heap memory behind that the C library
/// keeps for later; a while after one of the program's windows appears or goes away, or
/// after the user's last click or key press, it goes back to the system. Nothing changes
/// in what the program shows. Where the C library offers no way to give memory back,
/// this does nothing.
class MemoryRelease : public QObject
{
    Q_OBJECT
public:
    /// Watches the application's windows; large buffers (decoded pictures) go back to the
    /// system as soon as they are freed from now on.
    explicit MemoryRelease(QObject *parent = nullptr);
    ~MemoryRelease() override;

    /// Gives the freed memory back now.
    static void releaseNow();

    /// How long after a window appears or goes away, or the user lets go of a mouse button
    /// or key, the memory is given back: the time its drawing has surely been done in.
    static constexpr int kDelayMs = 2000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer *m_later;
};

} // namespace platform
