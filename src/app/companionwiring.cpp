#include "app/companionwiring.h"

#include "app/mainform.h"
#include "app/startup.h"
#include "platform/appid.h"

#include <QApplication>

namespace app {

companion::Companion::Setup CompanionWiring::setupFor(MainForm &form, const runtime::Hooks &hooks)
{
    companion::Companion::Setup setup;
    setup.mainWindow = &form;
    setup.reminders = &form.rows();
    setup.hooks = &hooks;
    // The application's icon is already loaded: shared, not read again.
    setup.icon = QApplication::windowIcon().isNull() ? programIcon() : QApplication::windowIcon();
    setup.iconName = QString::fromUtf16(kIconName);
    setup.desktopEntry = QString::fromUtf16(platform::kAppId);
    setup.program = QApplication::applicationFilePath();
    return setup;
}

CompanionWiring::CompanionWiring(MainForm &form, companion::Companion::Setup setup)
    : m_companion(std::make_unique<companion::Companion>(std::move(setup)))
{
    QObject::connect(&form, &MainForm::startActionBegins, m_companion.get(), &companion::Companion::startActionBegins);
}

CompanionWiring::~CompanionWiring() = default;

} // namespace app
