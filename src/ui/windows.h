// The definitions of the program's five windows, as data.
#pragma once

#include "forms/formdef.h"

namespace ui {

const forms::FormDef &Form1(); ///< the main window
const forms::FormDef &Form2(); ///< reminder: drink water
const forms::FormDef &Form3(); ///< reminder: rest the eyes
const forms::FormDef &Form4(); ///< reminder: toilet
const forms::FormDef &Form5(); ///< health tips

} // namespace ui
