#include "app/mainform.h"
#include "app/startup.h"

int main(int argc, char *argv[])
{
    const std::unique_ptr<QApplication> application = app::createApplication(argc, argv);
    const runtime::Platform platform = app::desktopPlatform();
    app::MainForm form(platform);
    form.show();
    return application->exec();
}
