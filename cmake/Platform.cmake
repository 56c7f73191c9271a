# The platform layer (src/platform): one header per service that differs between
# desktops, and for each service the implementation of the desktop this build is for.
# Nothing above src/platform tests which desktop it runs on; this file chooses.
#
#   quorvane_platform(<target>)   adds the chosen implementations to <target> and links
#                                 what they use
#
# QUORVANE_DESKTOP says which: "freedesktop" (Linux and other Unix desktops: X11 window
# manager conversation, libcanberra bell, session bus, XDG autostart, POSIX file
# locks), "windows", or "portable" (the toolkit alone: no stacking beyond the toolkit's,
# the toolkit's beep, no single instance, no autostart, no notifications).

if(WIN32)
  set(_quorvane_default_desktop windows)
elseif(UNIX AND NOT APPLE)
  set(_quorvane_default_desktop freedesktop)
else()
  set(_quorvane_default_desktop portable)
endif()
set(QUORVANE_DESKTOP ${_quorvane_default_desktop} CACHE STRING "Desktop the program is built for: freedesktop, windows or portable")
set_property(CACHE QUORVANE_DESKTOP PROPERTY STRINGS freedesktop windows portable)

set(_p src/platform)
set(QUORVANE_PLATFORM_HEADERS
  ${_p}/appid.h ${_p}/attention.h ${_p}/autostart.h ${_p}/awaydetector.h ${_p}/desktopwindow.h ${_p}/displaychoice.h ${_p}/durablefolder.h
  ${_p}/filelocations.h ${_p}/memoryrelease.h ${_p}/notifier.h ${_p}/singleinstance.h ${_p}/systembell.h)

if(QUORVANE_DESKTOP STREQUAL "freedesktop")
  find_package(Qt6 REQUIRED COMPONENTS DBus)
  # The X11 window manager conversation of reminder windows goes over the toolkit's own
  # X connection through libxcb; without it (or a Qt without xcb) they show as the
  # toolkit shows them.
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(XCB IMPORTED_TARGET xcb)
    # The user's idle time on X11 (away detection); without it only the lock is seen.
    pkg_check_modules(XSS IMPORTED_TARGET xscrnsaver x11)
    # The user's idle time in a Wayland session whose compositor tells it only to Wayland
    # programs (KDE Plasma): the idle notification protocol, on a connection of our own.
    pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
    pkg_get_variable(QUORVANE_WAYLAND_PROTOCOLS wayland-protocols pkgdatadir)
    find_program(QUORVANE_WAYLAND_SCANNER wayland-scanner)
  endif()
  set(_idle_xml ${QUORVANE_WAYLAND_PROTOCOLS}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
  if(WAYLAND_CLIENT_FOUND AND QUORVANE_WAYLAND_SCANNER AND EXISTS "${_idle_xml}")
    enable_language(C)
    set(_wl ${CMAKE_BINARY_DIR}/wayland)
    file(MAKE_DIRECTORY ${_wl})
    add_custom_command(OUTPUT ${_wl}/ext-idle-notify-v1-client-protocol.h
      COMMAND ${QUORVANE_WAYLAND_SCANNER} client-header ${_idle_xml} ${_wl}/ext-idle-notify-v1-client-protocol.h
      DEPENDS ${_idle_xml})
    add_custom_command(OUTPUT ${_wl}/ext-idle-notify-v1-protocol.c
      COMMAND ${QUORVANE_WAYLAND_SCANNER} private-code ${_idle_xml} ${_wl}/ext-idle-notify-v1-protocol.c
      DEPENDS ${_idle_xml})
    set(QUORVANE_WAYLAND_IDLE_SOURCES ${_wl}/ext-idle-notify-v1-client-protocol.h ${_wl}/ext-idle-notify-v1-protocol.c)
  else()
    message(STATUS "wayland-client, wayland-protocols or wayland-scanner not found: no idle time in Wayland sessions without a desktop service for it")
  endif()
  include(CheckSymbolExists)
  check_symbol_exists(malloc_trim "malloc.h" QUORVANE_HAVE_MALLOC_TRIM)
  set(QUORVANE_PLATFORM_SOURCES
    ${_p}/freedesktop/attention.cpp
    ${_p}/freedesktop/autostart.cpp
    ${_p}/freedesktop/awaydetector.cpp
    ${_p}/freedesktop/notifier.cpp
    ${_p}/freedesktop/singleinstance.cpp
    ${_p}/freedesktop/applicationadaptor.h ${_p}/freedesktop/applicationadaptor.cpp
    ${_p}/freedesktop/systembell.cpp
    ${_p}/posix/durablefolder.cpp
    ${_p}/portable/filelocations.cpp)
  if(XCB_FOUND)
    list(APPEND QUORVANE_PLATFORM_SOURCES ${_p}/x11/desktopwindow.cpp ${_p}/x11/displaychoice.cpp)
  else()
    message(STATUS "libxcb not found: reminder windows show as the toolkit shows them")
    list(APPEND QUORVANE_PLATFORM_SOURCES ${_p}/portable/desktopwindow.cpp ${_p}/portable/displaychoice.cpp)
  endif()
  if(QUORVANE_HAVE_MALLOC_TRIM)
    list(APPEND QUORVANE_PLATFORM_SOURCES ${_p}/glibc/memoryrelease.cpp)
  else()
    list(APPEND QUORVANE_PLATFORM_SOURCES ${_p}/portable/memoryrelease.cpp)
  endif()
elseif(QUORVANE_DESKTOP STREQUAL "windows")
  find_package(Qt6 REQUIRED COMPONENTS Network)
  set(QUORVANE_PLATFORM_SOURCES
    ${_p}/windows/autostart.cpp
    ${_p}/windows/awaydetector.cpp
    ${_p}/windows/desktopwindow.cpp
    ${_p}/windows/durablefolder.cpp
    ${_p}/windows/filelocations.cpp
    ${_p}/windows/notifier.cpp
    ${_p}/windows/singleinstance.cpp
    ${_p}/windows/systembell.cpp
    ${_p}/portable/attention.cpp
    ${_p}/portable/displaychoice.cpp
    ${_p}/portable/memoryrelease.cpp)
elseif(QUORVANE_DESKTOP STREQUAL "portable")
  set(QUORVANE_PLATFORM_SOURCES
    ${_p}/portable/attention.cpp ${_p}/portable/autostart.cpp ${_p}/portable/awaydetector.cpp ${_p}/portable/desktopwindow.cpp ${_p}/portable/displaychoice.cpp
    ${_p}/portable/durablefolder.cpp ${_p}/portable/filelocations.cpp ${_p}/portable/memoryrelease.cpp
    ${_p}/portable/notifier.cpp ${_p}/portable/singleinstance.cpp ${_p}/portable/systembell.cpp)
else()
  message(FATAL_ERROR "QUORVANE_DESKTOP must be freedesktop, windows or portable, not ${QUORVANE_DESKTOP}")
endif()
message(STATUS "Quorvane desktop: ${QUORVANE_DESKTOP}")

function(quorvane_platform target)
  target_sources(${target} PRIVATE ${QUORVANE_PLATFORM_HEADERS} ${QUORVANE_PLATFORM_SOURCES})
  if(QUORVANE_DESKTOP STREQUAL "freedesktop")
    target_link_libraries(${target} PUBLIC Qt6::DBus PRIVATE ${CMAKE_DL_LIBS})
    if(XCB_FOUND)
      target_link_libraries(${target} PRIVATE PkgConfig::XCB)
    endif()
    if(XSS_FOUND)
      target_link_libraries(${target} PRIVATE PkgConfig::XSS)
      target_compile_definitions(${target} PRIVATE QUORVANE_HAVE_XSS=1)
    endif()
    if(QUORVANE_WAYLAND_IDLE_SOURCES)
      target_sources(${target} PRIVATE ${QUORVANE_WAYLAND_IDLE_SOURCES})
      target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/wayland)
      target_link_libraries(${target} PRIVATE PkgConfig::WAYLAND_CLIENT)
      target_compile_definitions(${target} PRIVATE QUORVANE_HAVE_WAYLAND_IDLE=1)
    endif()
  elseif(QUORVANE_DESKTOP STREQUAL "windows")
    # wtsapi32: the session lock notification of the away detection.
    target_link_libraries(${target} PUBLIC Qt6::Network PRIVATE winmm wtsapi32)
  endif()
endfunction()
