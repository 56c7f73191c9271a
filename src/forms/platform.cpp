#include "forms/platform.h"

#include <QApplication>
#include <QDateTime>

#include <random>

#ifdef QUORVANE_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace forms {
namespace {

void showMessageBox(QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title.isEmpty() ? applicationTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
}

void systemBell()
{
#ifdef QUORVANE_HAVE_CANBERRA
    // The desktop sound theme's bell, as other desktop programs ring it.
    static ca_context *context = [] {
        ca_context *c = nullptr;
        if (ca_context_create(&c) != CA_SUCCESS)
            return static_cast<ca_context *>(nullptr);
        ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Quorvane", CA_PROP_APPLICATION_ID,
                                "quorvane", nullptr);
        return c;
    }();
    if (context) {
        if (ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell-window-system", nullptr) == CA_SUCCESS)
            return;
        if (ca_context_play(context, 0, CA_PROP_EVENT_ID, "bell", nullptr) == CA_SUCCESS)
            return;
    }
#endif
    QApplication::beep();
}

std::mt19937 &generator()
{
    static std::mt19937 rng;
    return rng;
}

} // namespace

Platform defaultPlatform()
{
    Platform p;
    p.message = showMessageBox;
    p.beep = systemBell;
    p.randomize = [] {
        generator().seed(std::mt19937::result_type(QDateTime::currentMSecsSinceEpoch()));
    };
    // 32 random bits scaled by 2^-32: every value lies in [0, 1), never 1 itself.
    p.random = [] { return double(generator()()) / 4294967296.0; };
    return p;
}

Platform &platform()
{
    static Platform current = defaultPlatform();
    return current;
}

void MsgBox(QWidget *parent, const QString &text, QMessageBox::Icon icon, const QString &title)
{
    platform().message(parent, text, title, icon);
}

void Beep()
{
    platform().beep();
}

} // namespace forms
