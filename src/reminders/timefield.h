#pragma once

#include <QString>

namespace runtime {
class TextBox;
}

namespace reminders {

/// One of the nine time boxes with the upper limit of its field: 23 for hours, 59 for
/// minutes and seconds. The box's text is the value itself; nothing is kept beside it.
class TimeField
{
public:
    static constexpr int kHoursLimit = 23;
    static constexpr int kMinutesSecondsLimit = 59;

    TimeField(runtime::TextBox *box, int limit);

    runtime::TextBox *box() const { return m_box; }

    /// The box's key filter: only the digits and Backspace reach it.
    static void KeyPress(int &keyAscii);
    /// Leaving the box: its text becomes the whole part of its leading number, clamped
    /// to 0..limit. Always written, even when the text does not change.
    void LostFocus();

    /// Before the countdown reads the box: a text that is no whole number of 0 or more
    /// (emptied and not yet left, pasted junk, a fraction or a negative value from a
    /// hand-edited settings file) is put right as on leaving the box, so that every
    /// countdown ends at 0/0/0. Whole numbers above the range stay as they are.
    void putRightForCounting();
    /// The number the box holds by the strict conversion (0 where it holds none).
    double value() const;
    /// The box's text as the save command reads it: unchanged when it is a number,
    /// otherwise what leaving the box would make of it.
    QString textForSave() const;
    void setText(const QString &text);

private:
    runtime::TextBox *m_box;
    int m_limit;
};

} // namespace reminders
