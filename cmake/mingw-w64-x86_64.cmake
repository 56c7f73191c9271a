# Cross-compiles for 64-bit Windows with Debian's mingw-w64 gcc.
#
# The -posix variants are named on purpose: the -win32 ones have no std::thread,
# std::mutex or std::condition_variable, which Qt and the program both use. The kit
# that tools/windows.sh builds and every program built against it must use the same
# variant, or libstdc++-6.dll and libwinpthread-1.dll will not match.
#
# Used directly for building the Qt kit, and chainloaded through the kit's own
# qt.toolchain.cmake (-DQT_CHAINLOAD_TOOLCHAIN_FILE=...) for everything built on it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw_triplet}-windres)
set(CMAKE_AR ${_mingw_triplet}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_mingw_triplet}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers, libraries and CMake packages come from the mingw sysroot (and from whatever
# Qt's toolchain adds to the root path); programs such as moc run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
