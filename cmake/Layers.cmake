# Each folder of src/ is a static library, quorvane_<folder>, that links only the
# libraries of the folders below it:
#
#   quorvane_layer(<folder> SOURCES <file>... [USES <folder>...] [QT <component>...])
#
# Its headers are reached as "<folder>/<file>.h" through an include folder of its own in
# the build tree, handed on to whatever links it; so a file that includes a header of a
# folder above its own does not compile. And a check program per library links all of
# its code with the libraries below it and nothing else, so a call upward does not link
# either (quorvane_layer_checks, part of the default build).

set(QUORVANE_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)
file(WRITE ${QUORVANE_LAYER_ROOT}/check.cpp
     "// Links every object of one layer with the layers below it: nothing more.\nint main() { return 0; }\n")
add_custom_target(quorvane_layer_checks ALL)

function(quorvane_layer folder)
  cmake_parse_arguments(arg "" "" "SOURCES;USES;QT" ${ARGN})
  set(target quorvane_${folder})
  qt_add_library(${target} STATIC ${arg_SOURCES})
  set(root ${QUORVANE_LAYER_ROOT}/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
  foreach(component IN LISTS arg_QT)
    target_link_libraries(${target} PUBLIC Qt6::${component})
  endforeach()
  foreach(below IN LISTS arg_USES)
    target_link_libraries(${target} PUBLIC quorvane_${below})
  endforeach()

  add_executable(${target}_check EXCLUDE_FROM_ALL ${QUORVANE_LAYER_ROOT}/check.cpp)
  target_link_libraries(${target}_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
  foreach(below IN LISTS arg_USES)
    target_link_libraries(${target}_check PRIVATE quorvane_${below})
  endforeach()
  add_dependencies(quorvane_layer_checks ${target}_check)
endfunction()
