#include "app/companionwiring.h"

#include "app/mainform.h"
#include "app/startup.h"
#include "platform/appid.h"
#include "runtime/formbuilder.h"
#include "runtime/textbox.h"
#include "runtime/timer.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>

namespace app {

companion::Companion::Setup CompanionWiring::setupFor(MainForm &form, const runtime::Platform &platform)
{
    companion::Companion::Setup setup;
    setup.mainWindow = &form;
    setup.platform = &platform;
    setup.beeper = &form.beeper();
    // The application's icon is already loaded: shared, not read again.
    setup.icon = QApplication::windowIcon().isNull() ? programIcon() : QApplication::windowIcon();
    setup.iconName = QString::fromUtf16(kIconName);
    setup.desktopEntry = QString::fromUtf16(platform::kAppId);
    setup.program = QApplication::applicationFilePath();
    // Each row is named by its label ("    喝水").
    const char *const topics[3] = {"Label1", "Label3", "Label4"};
    for (const alerts::Slot k : alerts::kSlots) {
        ReminderSlot &slot = form.slot(k);
        companion::SlotControls &row = setup.rows.emplace_back();
        row.topic = runtime::control<QLabel>(&form, topics[alerts::indexOf(k)])->text().trimmed();
        row.check = slot.check();
        row.boxes = {slot.hours().box(), slot.minutes().box(), slot.seconds().box()};
        row.timer = slot.timer();
    }
    return setup;
}

CompanionWiring::CompanionWiring(MainForm &form, companion::Companion::Setup setup)
    : m_form(form)
    , m_companion(std::make_unique<companion::Companion>(std::move(setup)))
{
    companion::Pause &pause = m_companion->pause();
    QObject::connect(&form, &MainForm::startActionBegins, &pause, &companion::Pause::resume);
    form.setCountdownsHeld([&pause] { return pause.isHolding(); });
}

CompanionWiring::~CompanionWiring()
{
    m_form.setCountdownsHeld({});
}

} // namespace app
