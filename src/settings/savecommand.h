#pragma once

#include "settings/savedintervals.h"

#include <QString>

#include <array>

class QWidget;

namespace runtime {
struct Hooks;
}

namespace settings {

class SettingsStore;

/// The save command: the nine time texts become the saved intervals, which go into the
/// settings file -- refused while a countdown runs.
class SaveCommand
{
public:
    SaveCommand(const runtime::Hooks &hooks, const SettingsStore &store, SavedIntervals &saved);

    /// The nine texts in saved-interval order, each converted by the strict conversion
    /// (a text that is no number counts 0). While counting, says "正在计时中，无法进行保存"
    /// (title "出错") over parent and changes nothing.
    void run(QWidget *parent, bool counting, const std::array<QString, SavedIntervals::kCount> &texts);

private:
    const runtime::Hooks &m_hooks;
    const SettingsStore &m_store;
    SavedIntervals &m_saved;
};

} // namespace settings
