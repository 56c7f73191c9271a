#pragma once

#include "companion/options.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QSpinBox;
class QTimeEdit;

namespace companion {

/// "选项": every choice of the additions in one small window: automatic repeat, start at
/// login, the hold while away with its minutes, the natural eye rest, the hold while
/// presenting, working hours with their days and times. "确定" takes what it shows,
/// "取消" (or Escape) nothing. Values out of range cannot be entered.
class OptionsWindow : public QDialog
{
    Q_OBJECT
public:
    OptionsWindow(const Choices &choices, bool autostart, QWidget *parent = nullptr);

    /// What the window shows now.
    Choices choices() const;
    bool autostart() const;

private:
    /// Greys out what does not count while its switch is off.
    void followSwitches();

    QCheckBox *m_autoRepeat;
    QCheckBox *m_autostart;
    QCheckBox *m_awayHold;
    QSpinBox *m_awayAfter;
    QCheckBox *m_eyeRest;
    QCheckBox *m_presenting;
    QCheckBox *m_workingHours;
    std::array<QCheckBox *, 7> m_days{};
    QTimeEdit *m_from;
    QTimeEdit *m_to;
};

} // namespace companion
