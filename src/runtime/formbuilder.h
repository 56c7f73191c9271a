#pragma once

#include "runtime/formdef.h"

#include <QFont>
#include <QObject>
#include <QRect>

class QWidget;

namespace runtime {

/// Twips to logical pixels for a rectangle.
QRect toPixels(int left, int top, int width, int height);

/// The font a definition names: "宋体" (SimSun, with installed Song-style CJK faces as
/// substitutes) at the given size, or the desktop's default font for size 0 (its Chinese
/// characters from the program's own "Quorvane Sans" where the program carries it).
QFont fontFor(const FontDef &font);

/// Creates the controls of a window from its definition, as children of form:
/// kinds, names, captions, geometry, fonts, colours, stacking order and tab order.
/// Also sets the window's name, title, background and client size.
void buildForm(QWidget *form, const FormDef &def);

/// The control of a built window with the given name; aborts when it is missing,
/// since behaviour code and definitions must agree on every name.
template <class T>
T *control(const QObject *form, const char *name)
{
    T *c = form->findChild<T *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(c, "runtime::control", name);
    if (!c)
        qFatal("missing control %s", name);
    return c;
}

} // namespace runtime
