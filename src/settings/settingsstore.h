#pragma once

#include "settings/savedintervals.h"

class QWidget;

namespace runtime {
struct Hooks;
}

namespace settings {

/// Loading and saving the nine intervals, with what the user is told about it.
class SettingsStore
{
public:
    explicit SettingsStore(const runtime::Hooks &hooks);

    /// Reads the settings file and returns the nine intervals to keep. A missing file is
    /// reported with "未找到读档文件" and current comes back unchanged; so does a file that
    /// cannot be opened (a folder, not readable), reported in a box titled "出错" that says
    /// why. A file that cannot be read whole gives the fields read before the first bad
    /// one, the rest as in current, is reported in a box titled "出错" and is not touched.
    /// First removes what saves killed half way left behind, unless a save is under way.
    SavedIntervals::Values LoadSettings(const SavedIntervals::Values &current) const;

    /// Writes the nine intervals into the settings file, replacing it whole. A file that
    /// cannot be written is reported in a box titled "出错" over parent, with the path and
    /// the reason in Chinese; the earlier file stays. Returns whether the file was written.
    bool SaveSettings(const SavedIntervals::Values &values, QWidget *parent) const;

private:
    const runtime::Hooks &m_hooks;
};

} // namespace settings
