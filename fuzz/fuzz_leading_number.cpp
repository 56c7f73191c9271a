// The leading-number reading never fails, so every text must give a number: never NaN,
// the same with blanks, tabs and line feeds taken out (they are skipped wherever they
// stand), the same with a character after it that cannot continue a number, never negative
// for "&H"/"&O" numbers, and 0 for a text without any digit.
#include "fuzzsupport.h"
#include "runtime/conversions.h"

#include <cmath>

namespace {

bool same(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

void check(const QString &text)
{
    const double value = runtime::leadingNumber(text);
    const QString shown = QString::number(value, 'g', 17);
    FUZZ_CHECK(!std::isnan(value), text, shown);

    QString squeezed = text;
    squeezed.remove(QLatin1Char(' ')).remove(QLatin1Char('\t')).remove(QLatin1Char('\n'));
    const double squeezedValue = runtime::leadingNumber(squeezed);
    FUZZ_CHECK(same(squeezedValue, value), text,
               shown + QLatin1String(" vs without blanks ") + QString::number(squeezedValue, 'g', 17));

    const double endedValue = runtime::leadingNumber(text + QLatin1Char('x'));
    FUZZ_CHECK(same(endedValue, value), text,
               shown + QLatin1String(" vs with x after ") + QString::number(endedValue, 'g', 17));

    if (squeezed.startsWith(QLatin1Char('&')))
        FUZZ_CHECK(value >= 0, text, shown);

    bool anyDigit = false;
    for (QChar c : text)
        anyDigit = anyDigit || (c.unicode() < 128 && std::isxdigit(c.unicode()));
    if (!anyDigit)
        FUZZ_CHECK(value == 0, text, shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(fuzzsupport::utf8(data, size));
    check(fuzzsupport::utf16(data, size));
    return 0;
}
