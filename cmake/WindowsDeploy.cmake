# The program's folder on Windows: quorvane.exe with everything it loads beside it, as
# windeployqt would lay it out (a cross build has no windeployqt):
#
#   cmake --install build-windows --prefix <folder>
#
# Included from the top-level CMakeLists.txt after the program's own install rule.

if(WIN32)
  find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Network Sql)

  # Qt's DLLs, and the plugins the program loads: the Windows platform, its native style,
  # the image formats of the background picture and the icon, SQLite for the record.
  install(IMPORTED_RUNTIME_ARTIFACTS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network Qt6::Sql
          RUNTIME DESTINATION .)
  foreach(plugin IN ITEMS QWindowsIntegrationPlugin:platforms QWindowsVistaStylePlugin:styles
                          QJpegPlugin:imageformats QICOPlugin:imageformats
                          QSQLiteDriverPlugin:sqldrivers)
    string(REPLACE ":" ";" plugin "${plugin}")
    list(GET plugin 0 target)
    list(GET plugin 1 folder)
    if(TARGET Qt6::${target})
      install(IMPORTED_RUNTIME_ARTIFACTS Qt6::${target} LIBRARY DESTINATION ${folder} RUNTIME DESTINATION ${folder})
    else()
      message(FATAL_ERROR "The Qt kit has no ${target}, which the Windows program needs")
    endif()
  endforeach()

  # The mingw runtime: gcc's C++ library and unwinder, and the POSIX threads beside them.
  set(_quorvane_runtime)
  foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      find_file(path_${dll} ${dll} PATHS /usr/${CMAKE_CXX_COMPILER_TARGET} /usr/x86_64-w64-mingw32
                PATH_SUFFIXES lib bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
      set(path ${path_${dll}})
    endif()
    if(NOT EXISTS "${path}")
      message(FATAL_ERROR "${dll} of the mingw runtime not found")
    endif()
    list(APPEND _quorvane_runtime ${path})
  endforeach()
  install(FILES ${_quorvane_runtime} DESTINATION .)
  # Where they are, for the runs of the build folder's programs under Wine (tools/windows.sh).
  list(JOIN _quorvane_runtime "\n" _quorvane_runtime_lines)
  file(WRITE ${CMAKE_BINARY_DIR}/mingw-runtime-dlls.txt "${_quorvane_runtime_lines}\n")

  # Qt's own Chinese texts (the buttons of its dialogs, a box's context menu), found by
  # QLibraryInfo through qt.conf. Qt's translations are architecture-free: the host's
  # files of the same Qt version serve.
  find_file(QUORVANE_QTBASE_ZH_CN qtbase_zh_CN.qm
            PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT QUORVANE_QTBASE_ZH_CN)
    message(FATAL_ERROR "qtbase_zh_CN.qm not found: install qt6-translations-l10n")
  endif()
  install(FILES ${QUORVANE_QTBASE_ZH_CN} DESTINATION translations)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION .)
  if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  endif()
endif()
