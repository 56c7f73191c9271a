// One test executable per area of the program (runtime, ui, settings, alerts, app), each
// made of several Qt Test classes. A test file ends with
//
//   QUORVANE_TEST_CLASS(TestCountdown)
//   #include "tst_countdown.moc"
//
// instead of QTEST_MAIN, and testmain.cpp runs every class of the executable in turn.
// Named test functions on the command line run in the classes that have them only:
//
//   tst_app checkBoxReaction borrow:seconds -v2
#pragma once

#include <QObject>

#include <functional>

namespace testsupport {

/// Adds a test class to the executable's run; classes run in the order they were added.
/// Returns a dummy value, so that it can be called from a static initialiser.
int addTestClass(const char *name, std::function<QObject *()> make);

} // namespace testsupport

#define QUORVANE_TEST_CLASS(Class) \
    static const int quorvane_test_class_##Class = testsupport::addTestClass(#Class, [] { return new Class; });
