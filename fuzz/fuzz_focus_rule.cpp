// What a time box holds after losing the focus: always the plain digits of a whole number
// from 0 to the box's limit, and losing the focus a second time changes nothing.
#include "fuzzsupport.h"
#include "runtime/conversions.h"

#include <QRegularExpression>

namespace {

void check(const QString &text, int limit)
{
    static const QRegularExpression plain(QStringLiteral("^(0|[1-9][0-9]?)$"));
    const QString result = runtime::normalisedTimeText(text, limit);
    const QString detail = QLatin1Char('"') + result + QLatin1String("\" with limit ") + QString::number(limit);
    FUZZ_CHECK(plain.match(result).hasMatch(), text, detail);
    FUZZ_CHECK(result.toInt() <= limit, text, detail);
    FUZZ_CHECK(runtime::normalisedTimeText(result, limit) == result, text, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the box: hours (limit 23) or minutes and seconds (limit 59).
    const int limit = (data[0] & 1) ? 59 : 23;
    check(fuzzsupport::utf8(data + 1, size - 1), limit);
    check(fuzzsupport::utf16(data + 1, size - 1), limit);
    return 0;
}
