#include "settings/settingsstore.h"

#include "runtime/platform.h"
#include "settings/settingsfile.h"

#include <QFile>
#include <QFileInfo>

namespace settings {
namespace {

// The longest settings file worth reading: nine numbers fit in far less.
constexpr qint64 kMaxRead = 64 * 1024;

} // namespace

SettingsStore::SettingsStore(const runtime::Platform &platform)
    : m_platform(platform)
{
}

SavedIntervals::Values SettingsStore::LoadSettings(const SavedIntervals::Values &current) const
{
    const QString path = SettingsFile::defaultPath();
    const QFileInfo info(path);
    if (!info.exists()) {
        m_platform.MsgBox(nullptr, QStringLiteral("未找到读档文件"));
        return current;
    }
    const auto reportUnreadable = [this] {
        m_platform.MsgBox(
            nullptr, QStringLiteral("读档文件内容有误，无法读出全部九个时间。\n未能读出的时间按 0 处理，读档文件未作改动。"),
            QMessageBox::Warning, QStringLiteral("出错"));
    };
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        reportUnreadable();
        return current;
    }
    const SettingsFile::ReadResult read = SettingsFile::parse(file.read(kMaxRead));
    file.close();
    // The intervals not read keep what they held (0 at start-up).
    SavedIntervals::Values values = current;
    for (int k = 0; k < read.fieldsRead; ++k)
        values[size_t(k)] = read.values[size_t(k)];
    if (!read.complete())
        reportUnreadable();
    return values;
}

bool SettingsStore::SaveSettings(const SavedIntervals::Values &values, QWidget *parent) const
{
    const QString path = SettingsFile::defaultPath();
    QString error;
    if (SettingsFile::write(path, values, &error))
        return true;
    m_platform.MsgBox(parent, QStringLiteral("个人时间保存失败，无法写入读档文件：\n%1\n（%2）").arg(path, error),
                      QMessageBox::Warning, QStringLiteral("出错"));
    return false;
}

} // namespace settings
