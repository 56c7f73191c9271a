#pragma once

#include <QString>

#include <array>

class QCheckBox;
class QLineEdit;

namespace runtime {
class Timer;
}

namespace companion {

/// What the additions see of one reminder row of the main window. They read and set its
/// controls as the user could; the row itself keeps its state in them.
struct SlotControls {
    QString topic;                      ///< "喝水", "远眺" or "厕所"
    QCheckBox *check = nullptr;         ///< the row's check box
    std::array<QLineEdit *, 3> boxes{}; ///< hours, minutes, seconds
    runtime::Timer *timer = nullptr;    ///< the row's countdown
};

} // namespace companion
