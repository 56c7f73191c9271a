#include "settings/savecommand.h"

#include "runtime/conversions.h"
#include "runtime/hooks.h"
#include "settings/settingsstore.h"

namespace settings {

SaveCommand::SaveCommand(const runtime::Hooks &hooks, const SettingsStore &store, SavedIntervals &saved)
    : m_hooks(hooks)
    , m_store(store)
    , m_saved(saved)
{ }

void SaveCommand::run(QWidget *parent, bool counting, const std::array<QString, SavedIntervals::kCount> &texts)
{
    if (counting) {
        m_hooks.Error(parent, QStringLiteral("正在计时中，无法进行保存"));
        return;
    }
    SavedIntervals::Values values{};
    for (size_t k = 0; k < texts.size(); ++k)
        values[k] = runtime::strictToNumber(texts[k]).value_or(0);
    m_saved.set(values);
    m_store.SaveSettings(values, parent);
}

} // namespace settings
