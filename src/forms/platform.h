// Everything that reaches the desktop beyond the windows themselves goes through
// one replaceable set of functions, so that tests can record or stand in for it.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace forms {

struct Platform {
    /// Shows a modal message box with one OK button and waits until it is closed.
    std::function<void(QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon)>
        message;
    /// Sounds the desktop's bell once; a beep that cannot be played is silent.
    std::function<void()> beep;
    /// Re-seeds the random numbers from the clock.
    std::function<void()> randomize;
    /// A uniform random number r with 0 <= r < 1.
    std::function<double()> random;
};

/// The platform in use; tests may replace its members.
Platform &platform();

/// The platform functions as the real program uses them.
Platform defaultPlatform();

/// The title a message box shows when it has no title of its own.
inline QString applicationTitle() { return QStringLiteral("Quorvane"); }

/// Shows a message box through the platform: text, one OK button, optional icon and title
/// (the application title when none is given).
void MsgBox(QWidget *parent, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon,
            const QString &title = QString());

/// Sounds one beep through the platform.
void Beep();

} // namespace forms
