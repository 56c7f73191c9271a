# The program's own faces on Linux: the characters it shows, cut at build time from the
# installed faces its windows use (tools/cut-face.py, with Debian's python3-fonttools) and
# built into the program's resources uncompressed, so that the font database reads them
# where they lie in the program file. A whole CJK face has some 65,000 glyphs, for which
# FreeType and HarfBuzz build their tables in the heap; the program shows a few hundred.
#   song.otf, song-bold.otf  "宋体" (SimSun) of the window definitions, regular and bold,
#                            from Noto Serif CJK SC, the face that stands for it on Linux
#   sans.otf                 "Quorvane Sans", the Chinese characters of the controls drawn
#                            in the desktop's default font, from Noto Sans CJK SC
# Windows has 宋体 itself and draws the rest with its own faces; the program there carries
# none.
#
# The characters are those of every source file (the window definitions, messages, menus
# and windows of the additions) and of assets/fonts/more-texts.txt (what the program shows
# that its sources do not spell out: the toolkit's own Chinese texts, the labels' EN SPACE);
# tests/companion/tst_programfont.cpp fails when the program shows one that a face lacks.
find_program(QUORVANE_FONT_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
find_program(QUORVANE_FONT_PYTHON python3)
execute_process(COMMAND ${QUORVANE_FONT_PYTHON} -c "import fontTools.subset"
                RESULT_VARIABLE _quorvane_no_fonttools OUTPUT_QUIET ERROR_QUIET)
if(_quorvane_no_fonttools)
  message(FATAL_ERROR "The program's own faces are cut with fontTools: install python3-fonttools "
                      "(bash tools/setup.sh installs it)")
endif()

file(GLOB_RECURSE _quorvane_font_texts CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h)
list(SORT _quorvane_font_texts)
list(APPEND _quorvane_font_texts ${PROJECT_SOURCE_DIR}/assets/fonts/more-texts.txt)
set(_quorvane_faces
  "song.otf|Noto Serif CJK SC:style=Regular|SimSun/宋体|QuorvaneSong"
  "song-bold.otf|Noto Serif CJK SC:style=Bold|SimSun/宋体|QuorvaneSong"
  "sans.otf|Noto Sans CJK SC:style=Regular|Quorvane Sans|QuorvaneSans")
set(_quorvane_face_files)
foreach(face IN LISTS _quorvane_faces)
  string(REPLACE "|" ";" face "${face}")
  list(GET face 0 file)
  list(GET face 1 pattern)
  list(GET face 2 family)
  list(GET face 3 postscript)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/fonts/${file})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fonts
    COMMAND ${QUORVANE_FONT_PYTHON} ${PROJECT_SOURCE_DIR}/tools/cut-face.py ${out} ${pattern} ${family} ${postscript}
            ${_quorvane_font_texts}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/cut-face.py ${_quorvane_font_texts}
    COMMENT "Cutting the program's own face ${file}"
    VERBATIM)
  list(APPEND _quorvane_face_files ${out})
endforeach()
qt_add_resources(quorvane_ui own_faces
  PREFIX "/fonts"
  BASE ${CMAKE_CURRENT_BINARY_DIR}/fonts
  FILES ${_quorvane_face_files}
  OPTIONS --no-compress)
