// Creating the application object and what every window of the program shares.
#pragma once

#include <QApplication>
#include <QIcon>

#include <memory>

namespace startup {

/// Creates the application, or prints one line and returns null when no display can be
/// opened (instead of aborting).
std::unique_ptr<QApplication> createApplication(int &argc, char **argv);

/// The program icon, at every size it is drawn in.
QIcon programIcon();

/// Names, icon and quit policy shared by every window; called by createApplication.
void setUpApplication();

} // namespace startup
