# Crash-safe saving: a helper that saves over and over, killed at random moments by
# tst_crashsafe. Included from tests/CMakeLists.txt.
qt_add_executable(savekiller program/savekiller.cpp)
target_link_libraries(savekiller PRIVATE quorvane_core)

qt_add_executable(tst_crashsafe program/tst_crashsafe.cpp)
target_link_libraries(tst_crashsafe PRIVATE quorvane_core Qt6::Test)
target_compile_definitions(tst_crashsafe PRIVATE SAVEKILLER="$<TARGET_FILE:savekiller>")
add_dependencies(tst_crashsafe savekiller)
add_test(NAME tst_crashsafe COMMAND tst_crashsafe)
set_tests_properties(tst_crashsafe PROPERTIES
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/tst_crashsafe-config;LC_ALL=C.UTF-8"
  TIMEOUT 90)
