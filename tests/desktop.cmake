# The real program under real window managers from Debian, on a private X server: the
# reminder reaches the user on his workspace, above other programs' always-on-top
# windows, without taking the keys he types into another program (label "desktop").
# Each is skipped (exit 77) where its window manager or a tool is missing.
foreach(wm IN ITEMS openbox xfwm4 metacity marco kwin_x11)
  add_test(NAME desktop.${wm}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/desktop-reminder.sh
                   $<TARGET_FILE:quorvane> ${wm} ${CMAKE_CURRENT_BINARY_DIR}/desktop-test/${wm})
  # One at a time: each types keys into its own X server on a timetable.
  set_tests_properties(desktop.${wm} PROPERTIES
                       LABELS "desktop;display" TIMEOUT 120 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endforeach()
