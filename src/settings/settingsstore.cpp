#include "settings/settingsstore.h"

#include "runtime/hooks.h"
#include "settings/settingsfile.h"

namespace settings {
namespace {

using Failure = SettingsFile::Failure;

// Why the file could not be opened or written, in the user's words; the system's own
// text is English and is never shown.
QString reason(Failure failure, bool writing)
{
    switch (failure) {
    case Failure::NoPermission:
        return writing ? QStringLiteral("没有写入权限") : QStringLiteral("没有读取权限");
    case Failure::DiskFull:
        return QStringLiteral("磁盘空间已满");
    case Failure::IsFolder:
        return QStringLiteral("这个路径是一个文件夹，不是文件");
    case Failure::FolderNotMade:
        return QStringLiteral("无法建立存放它的文件夹");
    default:
        return QStringLiteral("读写时出错");
    }
}

} // namespace

SettingsStore::SettingsStore(const runtime::Hooks &hooks)
    : m_hooks(hooks)
{ }

SavedIntervals::Values SettingsStore::LoadSettings(const SavedIntervals::Values &current) const
{
    // No save runs yet in this instance; those of others keep their temporary files.
    SettingsFile::removeLeftovers(SettingsFile::defaultPath());
    const QString path = SettingsFile::pathToRead();
    QByteArray content;
    const Failure failure = SettingsFile::read(path, &content);
    if (failure == Failure::Missing) {
        m_hooks.MsgBox(nullptr, QStringLiteral("未找到读档文件"));
        return current;
    }
    if (failure != Failure::None) {
        m_hooks.Error(nullptr,
                         QStringLiteral("无法打开读档文件：\n%1\n（%2）\n所有时间按 0 处理，读档文件未作改动。")
                             .arg(path, reason(failure, false)));
        return current;
    }
    const SettingsFile::ReadResult read = SettingsFile::parse(content);
    // The intervals not read keep what they held (0 at start-up).
    SavedIntervals::Values values = current;
    for (int k = 0; k < read.fieldsRead; ++k)
        values[size_t(k)] = read.values[size_t(k)];
    if (!read.complete())
        m_hooks.Error(
            nullptr,
            QStringLiteral("读档文件内容有误，无法读出全部九个时间。\n未能读出的时间按 0 处理，读档文件未作改动。"));
    return values;
}

bool SettingsStore::SaveSettings(const SavedIntervals::Values &values, QWidget *parent) const
{
    const QString path = SettingsFile::defaultPath();
    const Failure failure = SettingsFile::write(path, values);
    if (failure == Failure::None)
        return true;
    m_hooks.Error(
        parent, QStringLiteral("个人时间保存失败，无法写入读档文件：\n%1\n（%2）").arg(path, reason(failure, true)));
    return false;
}

} // namespace settings
