# The platform layer (src/platform), the library quorvane_platform: one header per
# service that differs between desktops, and for each service the implementation of the
# desktop this build is for. Nothing above src/platform tests which desktop it runs on;
# this file chooses.
#
# QUORVANE_DESKTOP says which: "freedesktop" (Linux and other Unix desktops: X11 window
# manager conversation through libxcb, libcanberra bell, session bus, XDG autostart,
# POSIX file locks) or "windows". A few services need nothing of the desktop beyond the
# toolkit; their one implementation lives in portable/ and serves whichever build uses
# it.

if(WIN32)
  set(_quorvane_default_desktop windows)
else()
  set(_quorvane_default_desktop freedesktop)
endif()
set(QUORVANE_DESKTOP ${_quorvane_default_desktop} CACHE STRING "Desktop the program is built for: freedesktop or windows")
set_property(CACHE QUORVANE_DESKTOP PROPERTY STRINGS freedesktop windows)

set(_p src/platform)
set(_quorvane_platform_sources
  ${_p}/appid.h ${_p}/attention.h ${_p}/autostart.h ${_p}/awaydetector.h ${_p}/desktopwindow.h ${_p}/displaychoice.h
  ${_p}/donotdisturb.h ${_p}/durablefolder.h
  ${_p}/filelocations.h ${_p}/memoryrelease.h ${_p}/notifier.h ${_p}/singleinstance.h ${_p}/systembell.h)

if(QUORVANE_DESKTOP STREQUAL "freedesktop")
  find_package(Qt6 REQUIRED COMPONENTS DBus)
  # The X11 window manager conversation of reminder windows goes over the toolkit's own
  # X connection through libxcb; the user's idle time on X11 comes from libXss, in a
  # Wayland session whose compositor tells it only to Wayland programs (KDE Plasma) from
  # the idle notification protocol, on a connection of our own.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
  pkg_check_modules(XSS REQUIRED IMPORTED_TARGET xscrnsaver x11)
  pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
  pkg_get_variable(QUORVANE_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
  find_program(QUORVANE_WAYLAND_SCANNER wayland-scanner REQUIRED)
  set(_idle_xml ${QUORVANE_WAYLAND_PROTOCOLS}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
  if(NOT EXISTS "${_idle_xml}")
    message(FATAL_ERROR "wayland-protocols has no ext-idle-notify-v1.xml (package wayland-protocols)")
  endif()
  enable_language(C)
  set(_wl ${CMAKE_BINARY_DIR}/wayland)
  file(MAKE_DIRECTORY ${_wl})
  add_custom_command(OUTPUT ${_wl}/ext-idle-notify-v1-client-protocol.h
    COMMAND ${QUORVANE_WAYLAND_SCANNER} client-header ${_idle_xml} ${_wl}/ext-idle-notify-v1-client-protocol.h
    DEPENDS ${_idle_xml})
  add_custom_command(OUTPUT ${_wl}/ext-idle-notify-v1-protocol.c
    COMMAND ${QUORVANE_WAYLAND_SCANNER} private-code ${_idle_xml} ${_wl}/ext-idle-notify-v1-protocol.c
    DEPENDS ${_idle_xml})
  # GNOME's do-not-disturb switch is read through GSettings: GIO's headers here, the
  # library loaded only where it is read (freedesktop/donotdisturb.cpp).
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
  include(CheckSymbolExists)
  check_symbol_exists(malloc_trim "malloc.h" QUORVANE_HAVE_MALLOC_TRIM)
  if(NOT QUORVANE_HAVE_MALLOC_TRIM)
    message(FATAL_ERROR "The freedesktop build gives freed memory back through glibc's malloc_trim, which this C library lacks")
  endif()
  list(APPEND _quorvane_platform_sources
    ${_p}/freedesktop/attention.cpp
    ${_wl}/ext-idle-notify-v1-client-protocol.h ${_wl}/ext-idle-notify-v1-protocol.c
    ${_p}/freedesktop/autostart.cpp
    ${_p}/freedesktop/awaydetector.cpp
    ${_p}/freedesktop/donotdisturb.cpp
    ${_p}/freedesktop/notifier.cpp
    ${_p}/freedesktop/singleinstance.cpp
    ${_p}/freedesktop/applicationadaptor.h ${_p}/freedesktop/applicationadaptor.cpp
    ${_p}/freedesktop/systembell.cpp
    ${_p}/glibc/memoryrelease.cpp
    ${_p}/posix/durablefolder.cpp
    ${_p}/portable/filelocations.cpp
    ${_p}/x11/desktopwindow.cpp
    ${_p}/x11/displaychoice.cpp
    ${_p}/x11/windowproperties.h ${_p}/x11/windowproperties.cpp)
elseif(QUORVANE_DESKTOP STREQUAL "windows")
  find_package(Qt6 REQUIRED COMPONENTS Network)
  list(APPEND _quorvane_platform_sources
    ${_p}/windows/autostart.cpp
    ${_p}/windows/awaydetector.cpp
    ${_p}/windows/donotdisturb.cpp
    ${_p}/windows/desktopwindow.cpp
    ${_p}/windows/durablefolder.cpp
    ${_p}/windows/filelocations.cpp
    ${_p}/windows/notifier.cpp
    ${_p}/windows/singleinstance.cpp
    ${_p}/windows/systembell.cpp
    ${_p}/portable/attention.cpp
    ${_p}/portable/displaychoice.cpp
    ${_p}/portable/memoryrelease.cpp)
else()
  message(FATAL_ERROR "QUORVANE_DESKTOP must be freedesktop or windows, not ${QUORVANE_DESKTOP}")
endif()
message(STATUS "Quorvane desktop: ${QUORVANE_DESKTOP}")

quorvane_layer(platform SOURCES ${_quorvane_platform_sources} QT Widgets)
if(QUORVANE_DESKTOP STREQUAL "freedesktop")
  target_link_libraries(quorvane_platform PUBLIC Qt6::DBus
                        PRIVATE ${CMAKE_DL_LIBS} PkgConfig::XCB PkgConfig::XSS PkgConfig::WAYLAND_CLIENT)
  target_include_directories(quorvane_platform PRIVATE ${CMAKE_BINARY_DIR}/wayland)
  target_include_directories(quorvane_platform SYSTEM PRIVATE ${GIO_INCLUDE_DIRS})
elseif(QUORVANE_DESKTOP STREQUAL "windows")
  # wtsapi32: the session lock notification of the away detection; shell32: whether the
  # user presents (SHQueryUserNotificationState).
  target_link_libraries(quorvane_platform PUBLIC Qt6::Network PRIVATE winmm wtsapi32 shell32)
endif()
