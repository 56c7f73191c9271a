#include "settings/settingsfile.h"

#include "platform/durablefolder.h"
#include "platform/filelocations.h"
#include "runtime/conversions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cmath>

namespace settings {
namespace {

using Failure = SettingsFile::Failure;

// What the system's error number says about a failed read or write.
Failure failureFromSystem(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
#ifdef EROFS
    case EROFS:
#endif
        return Failure::NoPermission;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Failure::DiskFull;
    case EISDIR:
        return Failure::IsFolder;
    default:
        return Failure::Other;
    }
}

// Whether a file beside the settings file can be the temporary file of a save that was
// killed: no more than a settings line, cut anywhere, in the characters a save writes.
bool looksLikeLeftover(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.read(4097);
    if (content.size() > 4096)
        return false;
    for (char c : content) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ',' || c == '\r' || c == '\n'))
            return false;
    }
    return true;
}

Failure writeLocked(const QString &path, const SavedIntervals::Values &values, platform::DurableFolder &folder)
{
    folder.lockShared();
    QSaveFile out(path);
    // Each step records the system's error number at once, before anything else can
    // change it; a failed step leaves the temporary file to QSaveFile, which removes it.
    errno = 0;
    if (!out.open(QIODevice::WriteOnly))
        return failureFromSystem(errno);
    const QByteArray line = SettingsFile::format(values);
    errno = 0;
    if (out.write(line) != line.size() || !out.flush())
        return failureFromSystem(errno);
    // The new line must be on the disk before it replaces the old one. QSaveFile syncs
    // too but does not say whether that worked; a disk that fails here keeps the old file.
    if (!platform::DurableFolder::syncFile(out))
        return failureFromSystem(errno);
    errno = 0;
    if (!out.commit())
        return failureFromSystem(errno);
    folder.sync();
    return Failure::None;
}

} // namespace

SettingsFile::ReadResult SettingsFile::parse(const QByteArray &raw)
{
    // Old DOS editors put an end-of-file mark after the last line; nothing after it counts.
    const qsizetype end = raw.indexOf('\x1A');
    const QByteArray content = end < 0 ? raw : raw.left(end);
    ReadResult result;
    qsizetype i = 0;
    const qsizetype n = content.size();
    if (content.startsWith("\xEF\xBB\xBF")) // a byte order mark left by an editor
        i = 3;
    auto isLineEnd = [](char c) {
        return c == '\r' || c == '\n';
    };
    bool afterComma = false;
    for (int field = 0; field < SavedIntervals::kCount; ++field) {
        while (i < n && (content[i] == ' ' || content[i] == '\t' || isLineEnd(content[i])))
            ++i;
        const qsizetype start = i;
        while (i < n && content[i] != ',' && !isLineEnd(content[i]))
            ++i;
        const QByteArray text = content.mid(start, i - start).trimmed();
        const bool beforeComma = i < n && content[i] == ',';
        if (beforeComma)
            ++i;
        // Only plain numbers: digits with an optional sign, point and exponent.
        bool plain = !text.isEmpty();
        for (char c : text) {
            if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
                plain = false;
        }
        std::optional<double> value =
            plain ? runtime::strictToNumber(QString::fromLatin1(text), QLocale::c()) : std::nullopt;
        if (text.isEmpty() && afterComma && beforeComma)
            value = 0; // nothing between two commas: a field left empty by hand
        if (!value)
            break;
        result.values[size_t(field)] = *value;
        result.fieldsRead = field + 1;
        afterComma = beforeComma;
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
    return platform::FileLocations::settingsFile();
}

QString SettingsFile::pathToRead()
{
    const QString path = defaultPath();
    if (QFileInfo::exists(path))
        return path;
    for (const QString &earlier : platform::FileLocations::earlierSettingsFiles()) {
        if (QFileInfo::exists(earlier))
            return earlier;
    }
    return path;
}

SettingsFile::Failure SettingsFile::read(const QString &path, QByteArray *content)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Failure::Missing;
    if (info.isDir())
        return Failure::IsFolder;
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return failureFromSystem(errno);
    errno = 0;
    *content = file.read(kMaxRead);
    return file.error() == QFileDevice::NoError ? Failure::None : failureFromSystem(errno);
}

SettingsFile::Failure SettingsFile::write(const QString &path, const SavedIntervals::Values &values)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Failure::FolderNotMade;
    if (info.isDir())
        return Failure::IsFolder;
    // QSaveFile refuses a read-only file without a system error of its own.
    if (info.exists() && !info.isWritable())
        return Failure::NoPermission;
    Failure result;
    {
        platform::DurableFolder folder(info.absolutePath());
        result = writeLocked(path, values, folder);
    }
    if (result == Failure::None)
        removeLeftovers(path);
    return result;
}

int SettingsFile::removeLeftovers(const QString &path)
{
    const QFileInfo info(path);
    platform::DurableFolder folder(info.absolutePath());
    if (!folder.lockExclusive())
        return 0;
    // QSaveFile names its temporary file after the file, with six random letters or digits.
    const QRegularExpression temporary(QRegularExpression::anchoredPattern(QRegularExpression::escape(info.fileName())
                                                                           + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    const QDir dir(info.absolutePath());
    int removed = 0;
    const QStringList candidates = dir.entryList({info.fileName() + QStringLiteral(".*")},
                                                 QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QString &name : candidates) {
        const QString file = dir.filePath(name);
        if (temporary.match(name).hasMatch() && looksLikeLeftover(file) && QFile::remove(file))
            ++removed;
    }
    return removed;
}

} // namespace settings
