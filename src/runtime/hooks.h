// Everything that reaches the desktop beyond the windows themselves goes through one
// set of functions, handed to the windows that use it, so that tests can record or
// stand in for it.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace runtime {

struct Hooks {
    /// Shows a modal message box with one button, "确定", and waits until it is closed. An
    /// empty title means the application's own title.
    std::function<void(QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon)> message;
    /// Sounds the desktop's bell once; a beep that cannot be played is silent.
    std::function<void()> beep;
    /// Re-seeds the random numbers from the clock.
    std::function<void()> randomize;
    /// A uniform random number r with 0 <= r < 1.
    std::function<double()> random;

    /// Shows a message box: text, one button "确定", optional icon and title (the
    /// application's title when none is given).
    void MsgBox(QWidget *parent, const QString &text, QMessageBox::Icon icon = QMessageBox::NoIcon,
                const QString &title = QString()) const
    {
        message(parent, text, title, icon);
    }

    /// Shows a warning titled "出错": something the user asked for or relies on failed.
    void Error(QWidget *parent, const QString &text) const
    {
        message(parent, text, QStringLiteral("出错"), QMessageBox::Warning);
    }

    /// Sounds one beep.
    void Beep() const { beep(); }
};

/// The hooks of the desktop: real message boxes titled applicationTitle unless
/// they have a title of their own, their button captioned "确定" under every locale;
/// the sound theme's bell rung in the name of applicationId; and random numbers from a
/// clock-seeded generator.
Hooks desktopHooks(const QString &applicationTitle, const QString &applicationId);

} // namespace runtime
