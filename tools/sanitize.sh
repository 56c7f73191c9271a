#!/usr/bin/env bash
# Builds the whole program and its tests with AddressSanitizer (leak checking included)
# and UndefinedBehaviorSanitizer into build-asan, then runs every test headless:
#
#   bash tools/sanitize.sh
#
# Any memory error, leak or undefined behaviour ends the test it happens in, which then
# fails. Should a system library (fontconfig, D-Bus, Qt's own internals) ever leak in a
# way we cannot avoid, list it in tools/lsan.supp ("leak:libfontconfig.so"), which is used
# when present; our own code never goes there. The packaging checks (label "packaging")
# run no code of ours under the sanitizers and are left out, and so are the runs of the
# whole program under real window managers (label "desktop"), which time the user's
# typing against its windows. Extra arguments go to ctest, e.g.
# `bash tools/sanitize.sh -R tst_settings`.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_ASAN_BUILD_DIR:-$top/build-asan}

source "$top/tools/packages.sh"
bash "$top/tools/install-missing.sh" "${quorvane_packages[@]}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DBUILD_TESTING=ON
fi
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1
if [ -f "$top/tools/lsan.supp" ]; then
  export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp:print_suppressions=0
fi
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure --timeout 180 -LE 'packaging|desktop' "$@"
