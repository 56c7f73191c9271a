#include "settings/settingsfile.h"

#include "runtime/conversions.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

#include <cmath>

namespace settings {

SettingsFile::ReadResult SettingsFile::parse(const QByteArray &content)
{
    ReadResult result;
    qsizetype i = 0;
    const qsizetype n = content.size();
    if (content.startsWith("\xEF\xBB\xBF")) // a byte order mark left by an editor
        i = 3;
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    for (int field = 0; field < SavedIntervals::kCount; ++field) {
        while (i < n && (content[i] == ' ' || content[i] == '\t' || isLineEnd(content[i])))
            ++i;
        const qsizetype start = i;
        while (i < n && content[i] != ',' && !isLineEnd(content[i]))
            ++i;
        const QByteArray text = content.mid(start, i - start).trimmed();
        if (i < n && content[i] == ',')
            ++i;
        // Only plain numbers: digits with an optional sign, point and exponent.
        bool plain = !text.isEmpty();
        for (char c : text) {
            if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
                plain = false;
        }
        const std::optional<double> value =
            plain ? runtime::strictToNumber(QString::fromLatin1(text), QLocale::c()) : std::nullopt;
        if (!value)
            break;
        result.values[size_t(field)] = *value;
        result.fieldsRead = field + 1;
    }
    return result;
}

QByteArray SettingsFile::format(const SavedIntervals::Values &values)
{
    QByteArray line;
    for (size_t k = 0; k < values.size(); ++k) {
        if (k)
            line += ',';
        const double v = values[k] == 0 ? 0.0 : values[k]; // never "-0"
        line += QLocale::c().toString(v, 'f', QLocale::FloatingPointShortest).toLatin1();
    }
    return line + "\r\n";
}

QString SettingsFile::defaultPath()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:/Quorvane.txt");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Quorvane.txt");
#endif
}

bool SettingsFile::write(const QString &path, const SavedIntervals::Values &values, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    const QByteArray line = format(values);
    if (out.write(line) != line.size()) {
        *error = out.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace settings
