# libFuzzer targets for the pure conversions and the settings file reader (clang only):
#
#   cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
#         -DQUORVANE_FUZZ=ON -DBUILD_TESTING=OFF
#   cmake --build build-fuzz --target quorvane_fuzzers
#
# tools/fuzz.sh does all of this and runs each target for a while.
option(QUORVANE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(NOT QUORVANE_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "QUORVANE_FUZZ needs clang (found ${CMAKE_CXX_COMPILER_ID}); no fuzz targets built")
  return()
endif()

find_package(Qt6 REQUIRED COMPONENTS Core)

# Every failed check, including undefined behaviour, must end the run so that libFuzzer
# keeps the input that caused it.
set(_quorvane_fuzz_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# The code under test, instrumented for coverage but without libFuzzer's main().
add_library(quorvane_fuzzcore STATIC
  src/runtime/conversions.h src/runtime/conversions.cpp
  src/platform/durablefolder.h src/platform/posix/durablefolder.cpp
  src/platform/filelocations.h src/platform/portable/filelocations.cpp
  src/settings/settingsfile.h src/settings/settingsfile.cpp
  src/settings/savedintervals.h
)
set_target_properties(quorvane_fuzzcore PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_include_directories(quorvane_fuzzcore PUBLIC src)
target_link_libraries(quorvane_fuzzcore PUBLIC Qt6::Core)
target_compile_options(quorvane_fuzzcore PUBLIC ${_quorvane_fuzz_sanitizers} PRIVATE -fsanitize=fuzzer-no-link)
target_link_options(quorvane_fuzzcore PUBLIC -fsanitize=address,undefined)

set(QUORVANE_FUZZERS fuzz_leading_number fuzz_strict_number fuzz_focus_rule fuzz_settings_reader)
add_custom_target(quorvane_fuzzers)
foreach(f IN LISTS QUORVANE_FUZZERS)
  add_executable(${f} fuzz/${f}.cpp fuzz/fuzzsupport.h)
  set_target_properties(${f} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
  target_link_libraries(${f} PRIVATE quorvane_fuzzcore)
  target_compile_options(${f} PRIVATE -fsanitize=fuzzer)
  target_link_options(${f} PRIVATE -fsanitize=fuzzer)
  add_dependencies(quorvane_fuzzers ${f})
endforeach()
