# Desktop integration (menu entry, icons, AppStream metadata) and the Debian package.
#
#   cmake --install build --prefix ~/.local     install for one user
#   cmake --build build --target package        build/quorvane_<version>_<arch>.deb
#
# Included from the top-level CMakeLists.txt after the program's own install rule.

if(UNIX AND NOT APPLE)
  include(GNUInstallDirs)

  set(QUORVANE_APP_ID io.github.quorvane.Quorvane)
  set(QUORVANE_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR}/../packaging)
  cmake_path(NORMAL_PATH QUORVANE_PACKAGING_DIR)

  # The menu entry is named after the program's desktop file name ("quorvane"), so that
  # Wayland compositors, which match windows to entries by it, find the entry and icon.
  install(FILES ${QUORVANE_PACKAGING_DIR}/io.github.quorvane.Quorvane.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QUORVANE_PACKAGING_DIR}/${QUORVANE_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/hicolor/${size}x${size}/apps/quorvane.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/quorvane.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

  # Debian keeps each package's licence as /usr/share/doc/<package>/copyright.
  # The program's own Song face comes under the SIL Open Font License: its text follows
  # the program's licence there.
  if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE _quorvane_licence)
    file(READ ${PROJECT_SOURCE_DIR}/assets/fonts/OFL.txt _quorvane_font_licence)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright "${_quorvane_licence}\n${_quorvane_font_licence}")
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()

  # The program links no shared library of its own, so it needs no search path next to
  # it (the toolkit's project set-up adds $ORIGIN/../lib, which packages should not carry).
  set_target_properties(quorvane PROPERTIES INSTALL_RPATH "")

  # ---- Debian package -----------------------------------------------------------------
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME quorvane)
  set(CPACK_PACKAGE_VENDOR "Quorvane developers")
  set(CPACK_PACKAGE_CONTACT "Quorvane developers <quorvane@users.noreply.github.com>")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "health reminder: drink water, rest your eyes, take a break")
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Quorvane keeps three countdowns of hours, minutes and seconds: drink water, look
into the distance to rest the eyes, and go to the toilet. When one reaches zero a
reminder window opens above the other windows with an encouraging message and,
if the sound is switched on, the program beeps once a second until the reminder
is acknowledged. Intervals can be saved and come back at the next start; a
further window shows health tips. The interface is in Simplified Chinese.")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # Libraries the program links (Qt, libstdc++ ...) come from dpkg-shlibdeps; the rest is
  # what it needs at run time without linking it: a font with the Chinese characters of the
  # interface, libcanberra (opened at the first bell), the sound theme whose bell it plays,
  # and Qt's SQLite driver (a plugin), which keeps the record of the reminders.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "fonts-noto-cjk | fonts-arphic-uming | fonts-wqy-microhei, libcanberra0, sound-theme-freedesktop, libqt6sql6-sqlite")
  # Qt's own Chinese translation, so that the texts Qt draws (a text box's edit menu) are
  # Chinese too; without it the program runs all the same, with those texts in English.
  # Without a sound back end libcanberra stays silent.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libcanberra-pulse")

  # A source tarball (cpack --config CPackSourceConfig.cmake) leaves out build trees.
  set(CPACK_SOURCE_GENERATOR TGZ)
  set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.cache/" "~$")

  include(CPack)

  # ---- Tests ---------------------------------------------------------------------------
  if(BUILD_TESTING)
    add_test(NAME packaging.desktop_entry
             COMMAND desktop-file-validate ${QUORVANE_PACKAGING_DIR}/io.github.quorvane.Quorvane.desktop)
    # --strict: warnings and hints fail too, not only errors.
    add_test(NAME packaging.metainfo
             COMMAND appstreamcli validate --no-net --strict
                     ${QUORVANE_PACKAGING_DIR}/${QUORVANE_APP_ID}.metainfo.xml)
    add_test(NAME packaging.install
             COMMAND sh ${QUORVANE_PACKAGING_DIR}/test-install.sh
                     ${PROJECT_BINARY_DIR} ${PROJECT_BINARY_DIR}/packaging-test/install
                     ${QUORVANE_APP_ID} ${PROJECT_SOURCE_DIR})
    add_test(NAME packaging.deb
             COMMAND sh ${QUORVANE_PACKAGING_DIR}/test-package.sh
                     ${PROJECT_BINARY_DIR} ${PROJECT_BINARY_DIR}/packaging-test/deb)
    add_test(NAME packaging.hidpi
             COMMAND sh ${QUORVANE_PACKAGING_DIR}/test-hidpi.sh
                     $<TARGET_FILE:quorvane> ${PROJECT_BINARY_DIR}/packaging-test/hidpi)
    add_test(NAME packaging.wayland
             COMMAND sh ${QUORVANE_PACKAGING_DIR}/test-wayland.sh
                     $<TARGET_FILE:quorvane> ${PROJECT_BINARY_DIR}/packaging-test/wayland)
    set_tests_properties(packaging.desktop_entry packaging.metainfo packaging.install
                         PROPERTIES LABELS packaging TIMEOUT 60)
    set_tests_properties(packaging.deb PROPERTIES LABELS "packaging;package" TIMEOUT 180)
    # Needs Xvfb, xdotool and ImageMagick; skipped (exit 77) where they are missing.
    set_tests_properties(packaging.hidpi PROPERTIES
                         LABELS "packaging;display" TIMEOUT 120 SKIP_RETURN_CODE 77)
    # Needs weston and Qt's Wayland platform; skipped (exit 77) where they are missing.
    set_tests_properties(packaging.wayland PROPERTIES
                         LABELS "packaging;display" TIMEOUT 60 SKIP_RETURN_CODE 77)
  endif()
endif()
