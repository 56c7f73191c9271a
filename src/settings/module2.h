// Loading and saving the nine saved intervals.
#pragma once

class QWidget;

namespace Module2 {

/// Reads the settings file into the saved intervals. A missing file is reported with
/// "未找到读档文件" and the intervals keep their values; a file that cannot be read whole
/// keeps the fields read before the first bad one, leaves the rest 0, is reported in a
/// box titled "出错" and is not touched.
void LoadSettings();

/// Writes the saved intervals into the settings file, replacing it whole. A file that
/// cannot be written is reported in a box titled "出错" over parent; the earlier file stays.
/// Returns whether the file was written.
bool SaveSettings(QWidget *parent = nullptr);

} // namespace Module2
