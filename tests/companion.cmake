# The additions around the program (tray, menu, pause, repeat, one instance, autostart,
# notifications). Included from tests/CMakeLists.txt.
#
# tst_companion: offscreen, with a session bus address that leads nowhere (so the lock
# file stands in for the bus, and no notification goes anywhere).
qt_add_executable(tst_companion tst_companion.cpp testsupport.h)
target_link_libraries(tst_companion PRIVATE quorvane_core Qt6::Test)
add_test(NAME tst_companion COMMAND tst_companion)
set_tests_properties(tst_companion PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/tst_companion-config;LC_ALL=C.UTF-8;DBUS_SESSION_BUS_ADDRESS=unix:path=${CMAKE_CURRENT_BINARY_DIR}/no-session-bus"
  LABELS companion TIMEOUT 90)

# companion.desktop: the real program under Xvfb with a private session bus, trayer and
# dunst (tray icon, notifications, two launches, no bus). Skipped (77) without them.
add_test(NAME companion.desktop
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/companion-desktop.sh $<TARGET_FILE:quorvane>)
set_tests_properties(companion.desktop PROPERTIES
  LABELS "companion;display" TIMEOUT 120 SKIP_RETURN_CODE 77)
