#include "runtime/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace runtime {
namespace {

/// Whole numbers of up to 15 digits: exact in a double, and written without exponent
/// when shown with 15 significant digits.
constexpr qsizetype kExactDigits = 15;
constexpr double kExactWhole = 1e15;

bool isDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char32_t c)
{
    return c == ' ' || c == '\t';
}

/// Parses "[-]digits[.digits][e[+-]digits]" (already checked) into a double.
/// Values beyond a double's range become an infinity or 0 instead of failing.
double parseChecked(const std::string &s)
{
    double value = 0;
    const auto [end, err] = std::from_chars(s.data(), s.data() + s.size(), value);
    Q_UNUSED(end);
    if (err == std::errc())
        return value;
    // Out of range: work out whether it overflowed or underflowed from the position of
    // the first significant digit and the exponent.
    const bool negative = !s.empty() && s[0] == '-';
    long long magnitude = 0; // decimal exponent of the first significant digit, plus one
    bool seenPoint = false, seenSignificant = false;
    size_t i = negative ? 1 : 0;
    long long intDigits = 0, leadingFractionZeros = 0;
    for (; i < s.size() && s[i] != 'e'; ++i) {
        const char c = s[i];
        if (c == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) {
            if (seenSignificant || c != '0') {
                seenSignificant = true;
                ++intDigits;
            }
        } else if (!seenSignificant) {
            if (c == '0')
                ++leadingFractionZeros;
            else
                seenSignificant = true;
        }
    }
    if (!seenSignificant)
        return negative ? -0.0 : 0.0;
    magnitude = intDigits > 0 ? intDigits : -leadingFractionZeros;
    if (i < s.size()) {
        // The exponent: clamp while reading so that a long exponent cannot overflow.
        long long exponent = 0;
        bool negExp = false;
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+'))
            negExp = s[j++] == '-';
        for (; j < s.size(); ++j)
            exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1'000'000'000LL);
        magnitude += negExp ? -exponent : exponent;
    }
    if (magnitude > 0)
        return negative ? -HUGE_VAL : HUGE_VAL;
    return negative ? -0.0 : 0.0;
}

} // namespace

std::optional<double> strictToNumber(QStringView text, const QLocale &locale)
{
    // Plain digits, as the boxes hold them while counting, read the same in every locale.
    if (!text.isEmpty() && text.size() <= kExactDigits
        && std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c.unicode()); })) {
        long long whole = 0;
        for (QChar c : text)
            whole = whole * 10 + (c.unicode() - '0');
        return double(whole);
    }
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    std::string s;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto at = [&](qsizetype k) {
        return k < n ? char32_t(text[k].unicode()) : char32_t(0);
    };
    while (i < n && isBlank(at(i)))
        ++i;
    if (at(i) == '+' || at(i) == '-') {
        if (at(i) == '-')
            s += '-';
        ++i;
        while (i < n && isBlank(at(i)))
            ++i;
    }
    bool digits = false;
    while (i < n) {
        if (isDigit(at(i))) {
            s += char(at(i));
            digits = true;
            ++i;
        } else if (digits && !group.isEmpty() && text.sliced(i).startsWith(group)) {
            i += group.size();
        } else {
            break;
        }
    }
    if (i < n && text.sliced(i).startsWith(decimal)) {
        i += decimal.size();
        s += '.';
        while (i < n && isDigit(at(i))) {
            s += char(at(i));
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < n && (at(i) == 'e' || at(i) == 'E' || at(i) == 'd' || at(i) == 'D')) {
        std::string exponent = "e";
        ++i;
        if (at(i) == '+' || at(i) == '-') {
            exponent += char(at(i));
            ++i;
        }
        bool expDigits = false;
        while (i < n && isDigit(at(i))) {
            exponent += char(at(i));
            expDigits = true;
            ++i;
        }
        if (!expDigits)
            return std::nullopt;
        s += exponent;
    }
    while (i < n && isBlank(at(i)))
        ++i;
    if (i != n)
        return std::nullopt;
    const double value = parseChecked(s);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

double leadingNumber(QStringView text)
{
    // The characters that count, with blanks, tabs and line feeds taken out.
    std::u32string t;
    t.reserve(size_t(text.size()));
    for (char32_t c : text.toString().toUcs4()) {
        if (c != ' ' && c != '\t' && c != '\n')
            t += c;
    }
    size_t i = 0;
    auto at = [&](size_t k) {
        return k < t.size() ? t[k] : char32_t(0);
    };

    if (at(0) == '&') {
        const char32_t p = at(1);
        const int base = (p == 'h' || p == 'H') ? 16 : (p == 'o' || p == 'O') ? 8 : 0;
        if (base == 0)
            return 0;
        double value = 0;
        for (i = 2; i < t.size(); ++i) {
            const char32_t c = t[i];
            int d = -1;
            if (isDigit(c))
                d = int(c - '0');
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = int(c - 'a' + 10);
            else if (base == 16 && c >= 'A' && c <= 'F')
                d = int(c - 'A' + 10);
            if (d < 0 || d >= base)
                break;
            value = value * base + d; // grows to infinity for absurdly long texts, never UB
        }
        return value;
    }

    std::string s;
    if (at(i) == '-' || at(i) == '+') {
        if (at(i) == '-')
            s += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    std::string mantissa;
    for (; i < t.size(); ++i) {
        const char32_t c = t[i];
        if (isDigit(c)) {
            mantissa += char(c);
            digits = true;
        } else if (c == '.' && !point) {
            mantissa += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    if (mantissa.front() == '.')
        mantissa.insert(mantissa.begin(), '0');
    s += mantissa;
    if (at(i) == 'e' || at(i) == 'E' || at(i) == 'd' || at(i) == 'D') {
        size_t j = i + 1;
        std::string exponent = "e";
        if (at(j) == '-' || at(j) == '+')
            exponent += char(t[j++]);
        bool expDigits = false;
        for (; j < t.size() && isDigit(t[j]); ++j) {
            exponent += char(t[j]);
            expDigits = true;
        }
        if (expDigits)
            s += exponent;
    }
    return parseChecked(s);
}

QString wholeToText(long long value)
{
    return QString::number(value);
}

QString normalisedTimeText(QStringView text, int limit)
{
    // Clamping before the conversion to an integer keeps that conversion defined.
    const double whole = std::floor(leadingNumber(text));
    const double clamped = std::min(std::max(whole, 0.0), double(limit));
    return wholeToText(static_cast<long long>(clamped));
}

QString doubleToText(double value, const QLocale &locale)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // A whole number of at most 15 digits is written out in full by the general form too;
    // this way it needs no decimal conversion.
    if (std::abs(value) < kExactWhole && value == std::trunc(value))
        return wholeToText(static_cast<long long>(value));
    QString text = QString::number(value, 'g', 15);
    // QString::number gives "1e+20" / "1e-05"; written as "1E+20" / "1E-05".
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    const QString decimal = locale.decimalPoint();
    if (decimal != QLatin1String("."))
        text.replace(QLatin1Char('.'), decimal);
    return text;
}

} // namespace runtime
