// Reading a settings file of any content: at most nine fields, each finite, the fields
// not read left 0; the line written for what was read is one line without blanks ending
// in CR LF, and reading that line gives back the same nine numbers. The input's first
// 72 bytes, taken as nine doubles, also go through writing and reading back, to reach
// values (very large, very small, many digits) that the text alone seldom produces.
#include "fuzzsupport.h"
#include "settings/settingsfile.h"

#include <QStringList>

#include <cmath>
#include <cstring>

namespace {

QString shown(const settings::SavedIntervals::Values &values)
{
    QStringList parts;
    for (double v : values)
        parts << QString::number(v, 'g', 17);
    return parts.join(QLatin1Char(' '));
}

void checkRoundTrip(const settings::SavedIntervals::Values &values, const QString &input)
{
    const QByteArray line = settings::SettingsFile::format(values);
    const QString detail = shown(values) + QLatin1String(" -> ") + QString::fromLatin1(line.toPercentEncoding());
    FUZZ_CHECK(line.endsWith("\r\n"), input, detail);
    const QByteArray body = line.chopped(2);
    FUZZ_CHECK(!body.isEmpty(), input, detail);
    FUZZ_CHECK(body.count(',') == settings::SavedIntervals::kCount - 1, input, detail);
    for (char c : body)
        FUZZ_CHECK((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ',', input, detail);

    const settings::SettingsFile::ReadResult back = settings::SettingsFile::parse(line);
    FUZZ_CHECK(back.complete(), input, detail + QLatin1String(" read back ") + QString::number(back.fieldsRead));
    for (size_t k = 0; k < values.size(); ++k)
        FUZZ_CHECK(back.values[k] == values[k], input, detail + QLatin1String(" read back ") + shown(back.values));
    FUZZ_CHECK(settings::SettingsFile::format(back.values) == line, input, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString input = QString::fromLatin1(content);

    const settings::SettingsFile::ReadResult read = settings::SettingsFile::parse(content);
    FUZZ_CHECK(read.fieldsRead >= 0 && read.fieldsRead <= settings::SavedIntervals::kCount, input,
               QString::number(read.fieldsRead));
    for (int k = 0; k < settings::SavedIntervals::kCount; ++k) {
        const double v = read.values[size_t(k)];
        FUZZ_CHECK(std::isfinite(v), input, shown(read.values));
        if (k >= read.fieldsRead)
            FUZZ_CHECK(v == 0, input, QString::number(read.fieldsRead) + QLatin1String(" read: ") + shown(read.values));
    }
    checkRoundTrip(read.values, input);

    if (size >= sizeof(settings::SavedIntervals::Values)) {
        settings::SavedIntervals::Values raw;
        std::memcpy(raw.data(), data, sizeof raw);
        for (double &v : raw) {
            if (!std::isfinite(v))
                v = 0;
        }
        checkRoundTrip(raw, input);
    }
    return 0;
}
