#pragma once

#include <QPushButton>

namespace runtime {

/// A push button whose caption wraps at blanks when it is wider than the button,
/// as captions of the program's buttons are laid out. The caption itself (text())
/// stays exactly as defined, blanks included.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CommandButton(QWidget *parent = nullptr);

    /// The caption as painted: unchanged when it fits the width, otherwise broken into
    /// lines at its blanks, the blanks at the breaks dropped.
    static QString wrapAtBlanks(const QString &caption, const QFontMetrics &metrics, int width);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace runtime
