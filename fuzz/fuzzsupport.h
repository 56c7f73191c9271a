// What the fuzz targets share: turning the input bytes into text and a check that ends
// the run (so libFuzzer keeps the input) when a promise of the code under test is broken.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzzsupport {

/// The text with everything but printable ASCII written as \uXXXX, shortened if long.
inline QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (QChar c : text.left(300)) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7f && u != '\\')
            out += char(u);
        else
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
    }
    if (text.size() > 300)
        out += "... (" + QByteArray::number(text.size()) + " units)";
    return out;
}

[[noreturn]] inline void fail(const char *what, const QString &input, const QString &detail)
{
    std::fprintf(stderr, "\n*** broken: %s\n    input: \"%s\"\n    got: %s\n", what, escaped(input).constData(),
                 detail.toUtf8().constData());
    std::abort();
}

/// The bytes as UTF-8 text (malformed sequences become replacement characters).
inline QString utf8(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

/// The bytes as UTF-16 code units in the machine's order, an odd last byte dropped; any
/// unit at all, unpaired surrogates included, as a text box could hold.
inline QString utf16(const uint8_t *data, size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

} // namespace fuzzsupport

#define FUZZ_CHECK(cond, input, detail) \
    do { \
        if (!(cond)) \
            ::fuzzsupport::fail(#cond, (input), (detail)); \
    } while (false)
