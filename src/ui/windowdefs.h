// The definitions of the program's five windows, as data; one unit each.
#pragma once

#include "runtime/formdef.h"

namespace ui {

const runtime::FormDef &Form1(); ///< the main window (mainwindow.cpp)
const runtime::FormDef &Form2(); ///< reminder: drink water (waterreminder.cpp)
const runtime::FormDef &Form3(); ///< reminder: rest the eyes (eyerestreminder.cpp)
const runtime::FormDef &Form4(); ///< reminder: toilet (toiletreminder.cpp)
const runtime::FormDef &Form5(); ///< health tips (healthtips.cpp)

} // namespace ui
