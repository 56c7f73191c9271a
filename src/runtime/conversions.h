// The four conversions between a time box's text and a number.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace runtime {

/// Strict text to number: the whole text must read as one number (blanks around it,
/// an optional sign, digits with the locale's group separators after the first digit,
/// the locale's decimal separator, an optional exponent with E or D). Fails on an empty
/// text, on anything that is not a number, and on a value too large for a double.
std::optional<double> strictToNumber(QStringView text, const QLocale &locale = QLocale());

/// Leading-number reading: blanks, tabs and line feeds are skipped wherever they stand;
/// then an optional sign, digits with at most one full stop as decimal point, and an
/// optional exponent with E or D are read, up to the first character that does not fit.
/// "&H" and "&O" introduce a hexadecimal or octal whole number, valued without sign
/// (&HFF is 255). A text without digits reads 0. A number too large for a double reads
/// as an infinity of its sign, one too small as 0. Never fails.
double leadingNumber(QStringView text);

/// Whole number to text: decimal digits, with a minus sign if negative.
QString wholeToText(long long value);

/// Double to text: at most 15 significant digits, no trailing zeros, no decimal separator
/// for a whole value, the locale's decimal separator otherwise; very large or small values
/// in exponent form ("1E+20").
QString doubleToText(double value, const QLocale &locale = QLocale());

/// What a time box holds after losing the focus: the whole part of the text's leading
/// number, clamped to 0..limit, in plain digits. A number too large for a double reads
/// as infinity and so ends at the limit.
QString normalisedTimeText(QStringView text, int limit);

} // namespace runtime
