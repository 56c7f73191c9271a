#include "settings/module2.h"

#include "forms/platform.h"
#include "settings/savedintervals.h"
#include "settings/settingsfile.h"

#include <QFile>
#include <QFileInfo>

namespace Module2 {
namespace {

// The longest settings file worth reading: nine numbers fit in far less.
constexpr qint64 kMaxRead = 64 * 1024;

void reportUnreadable()
{
    forms::MsgBox(nullptr,
                  QStringLiteral("读档文件内容有误，无法读出全部九个时间。\n未能读出的时间按 0 处理，读档文件未作改动。"),
                  QMessageBox::Warning, QStringLiteral("出错"));
}

} // namespace

void LoadSettings()
{
    const QString path = settingsfile::path();
    const QFileInfo info(path);
    if (!info.exists()) {
        forms::MsgBox(nullptr, QStringLiteral("未找到读档文件"));
        return;
    }
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        reportUnreadable();
        return;
    }
    const settingsfile::ReadResult read = settingsfile::parse(file.read(kMaxRead));
    file.close();
    for (int k = 0; k < read.fieldsRead; ++k)
        Module1::savedIntervals[size_t(k)] = read.values[size_t(k)];
    if (!read.complete()) {
        // The intervals not read keep their start value, 0.
        reportUnreadable();
    }
}

bool SaveSettings(QWidget *parent)
{
    const QString path = settingsfile::path();
    QString error;
    if (settingsfile::write(path, Module1::savedIntervals, &error))
        return true;
    forms::MsgBox(parent, QStringLiteral("个人时间保存失败，无法写入读档文件：\n%1\n（%2）").arg(path, error),
                  QMessageBox::Warning, QStringLiteral("出错"));
    return false;
}

} // namespace Module2
