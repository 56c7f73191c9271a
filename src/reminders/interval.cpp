#include "reminders/interval.h"

#include "runtime/conversions.h"

namespace reminders {
namespace {

QString clockField(const QString &text, int width)
{
    return runtime::doubleToText(runtime::strictToNumber(text).value_or(0)).rightJustified(width, u'0');
}

} // namespace

Interval Interval::ofMinutes(int minutes)
{
    return {QStringLiteral("0"), runtime::wholeToText(minutes), QStringLiteral("0")};
}

QString Interval::clockText() const
{
    return QStringLiteral("%1:%2:%3").arg(clockField(hours, 1), clockField(minutes, 2), clockField(seconds, 2));
}

} // namespace reminders
