#include "forms/platform.h"

#include "forms/systembell.h"

#include <QApplication>
#include <QDateTime>

#include <random>

namespace forms {
namespace {

void showMessageBox(QWidget *parent, const QString &text, const QString &title, QMessageBox::Icon icon)
{
    QMessageBox box(icon, title.isEmpty() ? applicationTitle() : title, text, QMessageBox::Ok, parent);
    box.exec();
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
