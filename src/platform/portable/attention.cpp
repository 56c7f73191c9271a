#include "platform/attention.h"

#include <QApplication>

namespace platform {

/// The toolkit's request: a flashing task bar button on Windows and on X11 (the window's
/// demands-attention state), nothing where the window system has no such thing.
Attention::Attention(QObject *parent)
    : QObject(parent)
{ }

void Attention::ask(QWidget *window)
{
    QApplication::alert(window);
    Q_EMIT asked(window);
}

} // namespace platform
