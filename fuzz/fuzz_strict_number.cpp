// The strict conversion either fails or gives a finite number, under the C locale and
// under locales whose separators differ (a comma as decimal separator; a no-break space
// or an apostrophe as group separator). Blanks added around a text change nothing.
#include "fuzzsupport.h"
#include "runtime/conversions.h"

#include <QLocale>

#include <cmath>

namespace {

const QLocale &localeFor(uint8_t pick)
{
    static const QLocale locales[] = {
        QLocale::c(),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Chinese, QLocale::China),
        QLocale(QLocale::Arabic, QLocale::Egypt),
    };
    return locales[pick % (sizeof locales / sizeof locales[0])];
}

QString shown(const std::optional<double> &v)
{
    return v ? QString::number(*v, 'g', 17) : QStringLiteral("(fails)");
}

void check(const QString &text, const QLocale &locale)
{
    const std::optional<double> value = runtime::strictToNumber(text, locale);
    if (value)
        FUZZ_CHECK(std::isfinite(*value), text, shown(value) + QLatin1String(" in ") + locale.name());

    const QString padded = QLatin1String(" \t") + text + QLatin1String("\t ");
    const std::optional<double> paddedValue = runtime::strictToNumber(padded, locale);
    FUZZ_CHECK(paddedValue.has_value() == value.has_value() && (!value || *paddedValue == *value), text,
               shown(value) + QLatin1String(" vs padded ") + shown(paddedValue) + QLatin1String(" in ")
                   + locale.name());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the locale, the rest is the text.
    const QLocale &locale = localeFor(data[0]);
    check(fuzzsupport::utf8(data + 1, size - 1), locale);
    check(fuzzsupport::utf16(data + 1, size - 1), locale);
    return 0;
}
