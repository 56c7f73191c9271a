#!/usr/bin/env bash
# Builds Quorvane for 64-bit Windows on Debian 12 and runs it under Wine:
#
#   bash tools/windows.sh kit        install what is missing, build the Qt kit for mingw-w64
#   bash tools/windows.sh build      the kit, then quorvane.exe in build-windows/
#   bash tools/windows.sh test       the kit, the program and its tests, every suite run
#                                    under Wine on a private X server
#   bash tools/windows.sh installer  the kit, the program, and its NSIS installer
#                                    build-windows/quorvane-<version>-setup.exe
#   bash tools/windows.sh installer-test
#                                    the installer, installed, used and uninstalled in a
#                                    fresh Wine prefix
#
# The kit is Qt 6.4.2 (the version of Debian's host Qt tools, which a cross build of
# Qt 6 needs) built from Debian's own qt6-base source package. It lives outside the
# clone, in ${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane-windows}, and is reused until
# the Qt version, its configure options or cmake/mingw-w64-x86_64.cmake change.
#
# Works as root or as a user with sudo; does nothing it need not do on a second run.
# Sourced (`source tools/windows.sh`), it only defines its functions.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${QUORVANE_WINDOWS_CACHE:-/var/cache/quorvane-windows}
qt_version=6.4.2
kit=$cache/qt-$qt_version-mingw
toolchain=$top/cmake/mingw-w64-x86_64.cmake
mingw_triplet=x86_64-w64-mingw32

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

# Everything the kit build, the cross builds and the runs under Wine need.
windows_packages=(
  cmake ninja-build perl python3 dpkg-dev xz-utils gcc make tcl
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  qt6-base-dev qt6-base-dev-tools
  wine wine64 fonts-wine xvfb x11-utils imagemagick fonts-noto-cjk nsis
  openbox xdotool qt6-translations-l10n
)

# qtbase's own configure options, as CMake cache entries. Qt 6 picks the compiler from
# the toolchain file alone; the host tools (moc, rcc, uic, ...) are Debian's.
#
# Notes on what works with Debian's 6.4.2+dfsg source:
# - tabletevent must be off: the source leaves out the Wintab header that the windows
#   platform plugin includes otherwise.
# - All third-party libraries are the bundled ones; the mingw sysroot has none of them.
# - Debian's source leaves out the bundled SQLite too (not the preferred form of
#   modification), so the SQLite amalgamation is made from Debian's sqlite3 source
#   package and put where qtbase looks for it (see sqlite_amalgamation).
qt_options=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_opengl=OFF
  -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_sql=ON
  -DFEATURE_sql_sqlite=ON
  -DFEATURE_system_sqlite=OFF
  -DFEATURE_sql_odbc=OFF
  -DFEATURE_sql_psql=OFF
  -DFEATURE_sql_mysql=OFF
  -DFEATURE_sql_ibase=OFF
  -DFEATURE_sql_oci=OFF
  -DFEATURE_sql_db2=OFF
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_png=ON
  -DFEATURE_jpeg=ON
  -DFEATURE_ico=ON
  -DFEATURE_freetype=ON
  -DFEATURE_harfbuzz=ON
)

install_missing() {
  bash "$top/tools/install-missing.sh" "$@"
}

# The hash that the kit's stamp holds: what the kit was built from and how.
kit_hash() {
  {
    echo "qt $qt_version, SQLite from Debian's sqlite3 source"
    printf '%s\n' "${qt_options[@]}"
    cat "$toolchain"
  } | sha256sum | cut -d' ' -f1
}

kit_is_current() {
  [ -f "$kit/quorvane-kit.stamp" ] && [ "$(cat "$kit/quorvane-kit.stamp")" = "$(kit_hash)" ]
}

# Adds deb-src entries beside each `Types: deb` stanza of Debian's sources, once.
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/quorvane-deb-src.sources
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  echo "Adding source package entries: $list"
  sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    "${as_root[@]}" tee "$list" >/dev/null
  "${as_root[@]}" apt-get update -q
}

# Unpacks Debian's qt6-base source package under $cache/src and prints its folder.
fetch_qt_source() {
  local src=$cache/src dir
  dir=$(find "$src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" 2>/dev/null | head -1 || true)
  if [ -n "$dir" ] && [ -f "$dir/.quorvane-unpacked" ]; then
    echo "$dir"
    return 0
  fi
  ensure_deb_src >&2
  rm -rf "$src"
  mkdir -p "$src"
  (cd "$src" && apt-get source -q qt6-base >&2)
  dir=$(find "$src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -1)
  if [ -z "$dir" ]; then
    echo "Debian's qt6-base source is not Qt $qt_version:" >&2
    ls "$src" >&2
    return 1
  fi
  touch "$dir/.quorvane-unpacked"
  echo "$dir"
}

# Makes sqlite3.c and sqlite3.h from Debian's sqlite3 source package (its configure
# and `make sqlite3.c`, which needs tclsh) and copies them into the qtbase source $1.
sqlite_amalgamation() {
  local qtsrc=$1 src=$cache/src/sqlite dir
  dir=$(find "$src" -maxdepth 1 -type d -name 'sqlite3-*' 2>/dev/null | head -1 || true)
  if [ -z "$dir" ] || [ ! -f "$dir/sqlite3.c" ] || [ ! -f "$dir/.quorvane-made" ]; then
    ensure_deb_src >&2
    rm -rf "$src"
    mkdir -p "$src"
    (cd "$src" && apt-get source -q sqlite3 >&2)
    dir=$(find "$src" -maxdepth 1 -type d -name 'sqlite3-*' | head -1)
    (cd "$dir" && ./configure -q >&2 && make -s sqlite3.c >&2)
    touch "$dir/.quorvane-made"
  fi
  mkdir -p "$qtsrc/src/3rdparty/sqlite"
  cp "$dir/sqlite3.c" "$dir/sqlite3.h" "$qtsrc/src/3rdparty/sqlite/"
  echo "SQLite for the Qt kit: $(basename "$dir")"
}

# Builds and installs the kit unless the one in the cache is current. The stamp is
# written last, so a build that was stopped half way is never taken for a kit.
build_kit() {
  install_missing "${windows_packages[@]}"
  if kit_is_current; then
    echo "Qt $qt_version kit for mingw-w64 is current: $kit"
    return 0
  fi
  "${as_root[@]}" mkdir -p "$cache"
  [ -w "$cache" ] || "${as_root[@]}" chown "$(id -u):$(id -g)" "$cache"

  local hash src build started
  hash=$(kit_hash)
  src=$(fetch_qt_source)
  sqlite_amalgamation "$src"
  # One build folder per hash: a stopped build goes on where it was on the next run.
  build=$cache/build-${hash:0:12}
  find "$cache" -maxdepth 1 -name 'build-*' ! -path "$build" -exec rm -rf {} +
  started=$SECONDS
  echo "Building Qt $qt_version for mingw-w64 from $src in $build"
  rm -rf "$kit"
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$src" -B "$build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$kit" \
      "${qt_options[@]}"
  fi
  # Behind other builds on the machine: this one is long and nobody waits on it.
  nice -n 10 cmake --build "$build" --parallel "$(nproc)"
  cmake --install "$build"
  # The toolchain the kit was built with, for programs that chainload it.
  cp "$toolchain" "$kit/mingw-w64-x86_64.cmake"
  echo "$((SECONDS - started))" >"$kit/quorvane-kit.seconds"
  echo "$hash" >"$kit/quorvane-kit.stamp"
  rm -rf "$build"
  echo "Qt kit built in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s: $kit"
}

# Prints, one a line, the arguments that configure a CMake project against the kit.
# Given the build folder, whose Wine prefix wine_prefix has set up, they also make
# ctest run each .exe through Wine there:
#   mapfile -t args < <(kit_cmake_args "$build"); cmake -S . -B "$build" "${args[@]}"
kit_cmake_args() {
  local build=${1:-}
  printf '%s\n' \
    "-DCMAKE_TOOLCHAIN_FILE=$kit/lib/cmake/Qt6/qt.toolchain.cmake" \
    "-DQT_CHAINLOAD_TOOLCHAIN_FILE=$kit/mingw-w64-x86_64.cmake" \
    "-G" "Ninja"
  if [ -n "$build" ]; then
    printf '%s\n' "-DCMAKE_CROSSCOMPILING_EMULATOR=$build/wine-run"
  fi
}

# The environment of every Wine run in the build folder $1.
wine_env() {
  export WINEPREFIX=$1/wineprefix
  export WINEARCH=win64
  # No prompts to download Mono and Gecko, which nothing here needs.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all}
  # Wine hands Windows programs no QT_* variable of ours (the host's would confuse
  # them); it passes WINEQT_X as QT_X instead.
  # Without a console window, which Wine gives no program started from a script, Qt
  # sends qDebug() and Qt Test's plain-text log to OutputDebugString, unseen.
  export WINEQT_FORCE_STDERR_LOGGING=1
  export WINEQT_QPA_PLATFORM=${WINEQT_QPA_PLATFORM:-windows}
}

# Sets up a Wine prefix in the build folder $1 (once), with a CJK font Windows programs
# find under the names they ask for, and writes $1/wine-run, which runs a Windows
# program there: the kit's DLLs and the mingw runtime (the DLLs that
# cmake/WindowsDeploy.cmake found, listed in the configured build folder) are on its
# path, so programs in the build folder run without the DLLs beside them.
wine_prefix() {
  local build=$1 started fonts cjk
  mkdir -p "$build"
  build=$(cd "$build" && pwd)
  (
    wine_env "$build"
    if [ ! -f "$WINEPREFIX/.quorvane-ready" ]; then
      started=$SECONDS
      rm -rf "$WINEPREFIX"
      wineboot --init
      wineserver -w
      fonts=$WINEPREFIX/drive_c/windows/Fonts
      mkdir -p "$fonts"
      cjk=/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
      ln -sf "$cjk" "$fonts/NotoSansCJK-Regular.ttc"
      ln -sf "${cjk%Regular.ttc}Bold.ttc" "$fonts/NotoSansCJK-Bold.ttc"
      # The names Qt and Windows programs fall back on for Chinese text.
      # In a version 5 file written in UTF-16, as regedit writes them, hex(7) is
      # UTF-16 too, the format of REG_MULTI_SZ.
      cat >"$build/cjk-fonts.reg.txt" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"Microsoft YaHei"="Noto Sans CJK SC"
"Microsoft YaHei UI"="Noto Sans CJK SC"
"SimSun"="Noto Sans CJK SC"
"NSimSun"="Noto Sans CJK SC"
"SimHei"="Noto Sans CJK SC"
"MS Shell Dlg"="Tahoma"
"MS Shell Dlg 2"="Tahoma"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]
"Tahoma"=hex(7):4e,00,6f,00,74,00,6f,00,53,00,61,00,6e,00,73,00,43,00,4a,00,4b,00,\
  2d,00,52,00,65,00,67,00,75,00,6c,00,61,00,72,00,2e,00,74,00,74,00,63,00,2c,00,\
  4e,00,6f,00,74,00,6f,00,20,00,53,00,61,00,6e,00,73,00,20,00,43,00,4a,00,4b,00,\
  20,00,53,00,43,00,00,00,00,00
"Segoe UI"=hex(7):4e,00,6f,00,74,00,6f,00,53,00,61,00,6e,00,73,00,43,00,4a,00,4b,\
  00,2d,00,52,00,65,00,67,00,75,00,6c,00,61,00,72,00,2e,00,74,00,74,00,63,00,2c,\
  00,4e,00,6f,00,74,00,6f,00,20,00,53,00,61,00,6e,00,73,00,20,00,43,00,4a,00,4b,\
  00,20,00,53,00,43,00,00,00,00,00
EOF
      { printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE "$build/cjk-fonts.reg.txt"; } >"$build/cjk-fonts.reg"
      wine regedit /S "$(winepath -w "$build/cjk-fonts.reg" 2>/dev/null)"
      wineserver -w
      touch "$WINEPREFIX/.quorvane-ready"
      echo "Wine prefix set up in $((SECONDS - started)) s: $WINEPREFIX"
    fi
  )
  local winepath="" p
  for p in $({ echo "$kit/bin" && xargs -n1 dirname <"$build/mingw-runtime-dlls.txt"; } | awk '!seen[$0]++'); do
    winepath+="${winepath:+;}Z:${p//\//\\}"
  done
  cat >"$build/wine-run" <<EOF
#!/bin/sh
# Runs a Windows program in the Wine prefix of this build folder.
export WINEPREFIX='$build/wineprefix' WINEARCH=win64 WINEDLLOVERRIDES='mscoree,mshtml='
# Wine passes WINEQT_X to the program as QT_X, and no QT_* variable as it is.
export WINEDEBUG="\${WINEDEBUG:--all}" WINEQT_QPA_PLATFORM="\${WINEQT_QPA_PLATFORM:-windows}"
export WINEQT_FORCE_STDERR_LOGGING=1
export WINEPATH='$winepath'
exec wine "\$@"
EOF
  chmod +x "$build/wine-run"
}

# The build folder of the Windows program and its tests (QUORVANE_WINDOWS_BUILD_DIR).
windows_build_dir() { echo "${QUORVANE_WINDOWS_BUILD_DIR:-$top/build-windows}"; }

# Configures the build folder $1 against the kit, with its Wine prefix, so that ctest
# runs each .exe through Wine; BUILD_TESTING as $2.
configure_program() {
  local build=$1 args
  build_kit
  mkdir -p "$build"
  mapfile -t args < <(kit_cmake_args "$(cd "$build" && pwd)")
  cmake -S "$top" -B "$build" "${args[@]}" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$2"
  wine_prefix "$build"
}

# The program, cross-built against the kit into build-windows/.
build_program() {
  local build
  build=$(windows_build_dir)
  if [ ! -f "$build/CMakeCache.txt" ]; then
    configure_program "$build" OFF
  else
    build_kit
  fi
  cmake --build "$build" --target quorvane
  echo "built $build/quorvane.exe"
}

# The program and its tests, every suite run under Wine on a private X server. A suite
# that fails is run once more and fails the run only if it fails again: Wine's own
# timing (window manager round trips, its server) varies from run to run in a way the
# Linux runs do not, and every failure is still printed.
test_program() {
  local build
  build=$(windows_build_dir)
  configure_program "$build" ON
  cmake --build "$build"
  # In a shell of its own, which ends the X server, the window manager and then the Wine
  # server of the build folder (whose programs held that display) when it ends. Without
  # a window manager Wine waits two seconds for one at every window it hides.
  (
    scratch=$build/display
    rm -rf "$scratch"
    mkdir -p "$scratch"
    . "$top/tests/desktop-lib.sh"
    stop_wineserver() { WINEPREFIX=$build/wineprefix wineserver -k 2>/dev/null || true; }
    at_exit stop_wineserver
    start_xvfb -screen 0 1280x800x24
    echo "Xvfb on $DISPLAY"
    start_wm openbox || die "openbox did not start"
    cd "$build"
    ctest --output-on-failure --repeat until-pass:2
  )
}

# The version the project declares, which the installer carries in its name.
project_version() {
  sed -n 's/^project(quorvane VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt"
}

# The installer: the program's folder as cmake --install lays it out, packed by NSIS
# into build-windows/quorvane-<version>-setup.exe.
build_installer() {
  local build stage version list out
  build=$(windows_build_dir)
  build_program
  stage=$build/stage
  rm -rf "$stage"
  cmake --install "$build" --prefix "$stage" --strip >/dev/null
  version=$(project_version)
  # What the uninstaller removes: exactly the files installed, then their folders.
  list=$build/uninstall-files.nsh
  (
    cd "$stage"
    find . -type f | LC_ALL=C sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | awk '{ print gsub("/", "/") "\t" $0 }' | LC_ALL=C sort -rn | cut -f2 |
      sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
  ) >"$list"
  out=$build/quorvane-$version-setup.exe
  makensis -V2 -DSTAGE="$stage" -DFILES="$list" -DVERSION="$version" -DICON="$top/assets/quorvane.ico" \
    -DOUTFILE="$out" "$top/packaging/windows/quorvane.nsi"
  echo "built $out"
}

# The installer, then its test in a fresh Wine prefix.
test_installer() {
  local build version
  build_installer
  build=$(windows_build_dir)
  version=$(project_version)
  bash "$top/packaging/windows/test-installer.sh" "$build/quorvane-$version-setup.exe" "$build/stage" \
    "$build/installer-test"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  case "${1:-}" in
  kit) build_kit ;;
  build) build_program ;;
  test) test_program ;;
  installer) build_installer ;;
  installer-test) test_installer ;;
  *)
    echo "usage: $0 kit|build|test|installer|installer-test" >&2
    exit 2
    ;;
  esac
fi
