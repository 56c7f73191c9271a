#pragma once

#include <QObject>
#include <QTimer>

namespace runtime {

/// Gives back the memory that the program holds only because it once did something.
///
/// The program sits in the background all day, redrawing a few digits a second. Starting
/// and drawing a window leave behind pages it no longer needs: the pages of the font files
/// that the font library read to build each face (the characters already drawn come from
/// the toolkit's own cache), the code and constant data of the program and its libraries
/// that ran only then, and freed heap memory that the C library keeps for later. A while
/// after one of the program's windows appears or goes away, or after the user's last click
/// or key press, all of that is given back; whatever is used again is read in again from
/// the system's file cache, as after the system reclaimed it itself. Nothing changes in
/// what the program shows.
class MemoryRelease : public QObject
{
    Q_OBJECT
public:
    /// Watches the application's windows; large buffers (decoded pictures) go back to the
    /// system as soon as they are freed from now on.
    explicit MemoryRelease(QObject *parent = nullptr);
    ~MemoryRelease() override;

    /// Gives the memory back now; returns the size of the file mappings whose pages were
    /// dropped.
    static qint64 releaseNow();

    /// How long after a window appears or goes away, or the user lets go of a mouse button
    /// or key, the memory is given back: the time its drawing has surely been done in.
    static constexpr int kDelayMs = 2000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTimer *m_later;
};

} // namespace runtime
