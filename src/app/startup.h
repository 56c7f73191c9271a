// Creating the application object and what every window of the program shares.
#pragma once

#include "runtime/hooks.h"

#include <QApplication>
#include <QIcon>

#include <memory>

namespace app {

/// The program's name: the application title of its message boxes, and the name the
/// desktop knows it by.
inline constexpr char16_t kProductName[] = u"Quorvane";
/// The name of the program's icon in the desktop's icon theme.
inline constexpr char16_t kIconName[] = u"quorvane";

/// Creates the application. Where no display can be opened, says so in one line on
/// standard error and ends the process with status 1 instead of aborting; it does not
/// return then.
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

/// The program icon, at every size it is drawn in.
QIcon programIcon();

/// Loads Qt's own Simplified Chinese translation (qtbase_zh_CN.qm) from folder, whatever
/// the locale says, so that the texts Qt draws itself (a text box's edit menu) are Chinese
/// like the rest of the program. Returns false, changing nothing, where it is missing.
bool loadQtTranslation(const QString &folder);

/// Registers the program's own faces, where the program carries them (on Linux): the
/// characters it shows, cut from the CJK faces its windows would draw them with, so that
/// drawing them does not load whole faces of some 65,000 glyphs. The Song face is named
/// SimSun/宋体, as the window definitions ask; "Quorvane Sans" gives the controls in the
/// desktop's default font their Chinese characters. The system's fonts stay the fallback
/// for any other character. Returns whether every face there is was registered, false
/// where there is none.
bool registerProgramFonts();

/// Names, icon, quit policy, the program's own faces and Qt's Chinese translation (from Qt's
/// translations folder, where Debian's qt6-translations-l10n puts it), shared by every
/// window; called by
/// createApplication.
void setUpApplication();

/// The desktop hooks in the program's name.
runtime::Hooks desktopHooks();

} // namespace app
