#include "reminders/timefield.h"

#include "runtime/conversions.h"
#include "runtime/textbox.h"

#include <cmath>

namespace reminders {

TimeField::TimeField(runtime::TextBox *box, int limit)
    : m_box(box)
    , m_limit(limit)
{ }

void TimeField::KeyPress(int &keyAscii)
{
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (!digit && keyAscii != 8)
        keyAscii = 0;
}

void TimeField::LostFocus()
{
    m_box->setText(runtime::normalisedTimeText(m_box->text(), m_limit));
}

void TimeField::putRightForCounting()
{
    const std::optional<double> value = runtime::strictToNumber(m_box->text());
    if (!value || *value < 0 || *value != std::floor(*value))
        LostFocus();
}

double TimeField::value() const
{
    return runtime::strictToNumber(m_box->text()).value_or(0);
}

QString TimeField::textForSave() const
{
    const QString text = m_box->text();
    return runtime::strictToNumber(text) ? text : runtime::normalisedTimeText(text, m_limit);
}

void TimeField::setText(const QString &text)
{
    m_box->setText(text);
}

} // namespace reminders
