#include "app/companionwiring.h"
#include "app/mainform.h"
#include "app/startup.h"
#include "platform/appid.h"
#include "platform/memoryrelease.h"
#include "platform/singleinstance.h"

#include <QPointer>

int main(int argc, char *argv[])
{
    const std::unique_ptr<QApplication> application = app::createApplication(argc, argv);
    platform::MemoryRelease memory; // what drawing a window leaves behind goes back afterwards
    // One instance per session: a later launch brings the running one forward and ends
    // here, before the settings are read.
    platform::SingleInstance instance(QString::fromUtf16(platform::kAppId));
    if (!instance.claim())
        return 0;
    QPointer<QWidget> window; // until it is built, a message box of the start-up comes forward
    QObject::connect(&instance, &platform::SingleInstance::activated,
                     [&window] { companion::Companion::bringForward(window); });

    const runtime::Hooks hooks = app::desktopHooks();
    app::MainForm form(hooks);
    window = &form;
    app::CompanionWiring companion(form, app::CompanionWiring::setupFor(form, hooks));
    form.show();
    return application->exec();
}
