#include "runtime/hooks.h"

#include "platform/systembell.h"

#include <QDateTime>
#include <QPushButton>

#include <memory>
#include <random>

namespace runtime {

Hooks desktopHooks(const QString &applicationTitle, const QString &applicationId)
{
    Hooks p;
    p.message = [applicationTitle](QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon) {
        QMessageBox box(icon, title.isEmpty() ? applicationTitle : title, text, QMessageBox::Ok, parent);
        // Chinese under every locale, whether or not Qt's own translation is installed.
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
    };
    auto bell = std::make_shared<platform::SystemBell>(applicationTitle, applicationId);
    p.beep = [bell] {
        bell->ring();
    };
    auto generator = std::make_shared<std::mt19937>();
    p.randomize = [generator] {
        generator->seed(std::mt19937::result_type(QDateTime::currentMSecsSinceEpoch()));
    };
    // 32 random bits scaled by 2^-32: every value lies in [0, 1), never 1 itself.
    p.random = [generator] {
        return double((*generator)()) / 4294967296.0;
    };
    return p;
}

} // namespace runtime
