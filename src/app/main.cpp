#include "app/mainform.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    std::unique_ptr<QApplication> app = startup::createApplication(argc, argv);
    if (!app)
        return 1;
    MainForm form;
    form.show();
    return app->exec();
}
