// The health tips window: fixed advice on water, eye rest and the toilet; "返回" hides it.
#pragma once

#include "runtime/form.h"

namespace alerts {

class TipsWindow : public runtime::Form
{
    Q_OBJECT
public:
    explicit TipsWindow(QWidget *owner);

    void Command1_Click() { Hide(); }
};

} // namespace alerts
