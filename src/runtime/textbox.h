#pragma once

#include <QLineEdit>

namespace runtime {

/// A single-line text box with the two events the program's handlers use:
///
/// - KeyPress: called with the character code of every typed character (digits,
///   letters, Backspace 8, Enter 13, Escape 27, Ctrl+letter 1..26, any non-ASCII
///   character as its code point); a handler that sets the code to 0 discards the
///   keystroke. Keys that produce no character (Tab, arrows, Home, End, Delete) are
///   not reported and keep their usual effect. Text committed by an input method is
///   reported character by character and dropped whole if any character is discarded.
/// - LostFocus: raised when the focus moves from the box to another control of the
///   program (Tab, Shift+Tab, a click on a focusable control). Opening the box's
///   context menu, another window of the desktop becoming active, or the box itself
///   being disabled, is not a loss of focus.
class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    /// The character code a key event produces, or -1 when it produces none.
    static int characterCode(const QKeyEvent *event);

Q_SIGNALS:
    /// Raised for every typed character; a handler (connected directly) that sets
    /// keyAscii to 0 discards the keystroke.
    void KeyPress(int &keyAscii);
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool accepts(const QString &text);
};

} // namespace runtime
