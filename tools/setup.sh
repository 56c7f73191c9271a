#!/usr/bin/env bash
# Sets up a Debian 12 machine for Quorvane, builds it, then starts the program or runs
# the whole test suite:
#
#   bash tools/setup.sh run     install what is missing, build, start the program
#   bash tools/setup.sh test    install what is missing, build, run every test headless
#
# Works as root or as a user with sudo; does nothing it need not do on a second run.
set -euo pipefail

mode=${1:-run}
case "$mode" in
run | test) ;;
*)
  echo "usage: $0 run|test" >&2
  exit 2
  ;;
esac

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_BUILD_DIR:-$top/build}

source "$top/tools/packages.sh"
packages=("${quorvane_packages[@]}")
if [ "$mode" = test ]; then
  packages+=("${quorvane_test_packages[@]}")
fi
bash "$top/tools/install-missing.sh" "${packages[@]}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
if [ "$mode" = run ]; then
  # Only the program: the tests are built by the test command.
  cmake --build "$build" -j "$(nproc)" --target quorvane
  exec "$build/quorvane"
fi
cmake --build "$build" -j "$(nproc)"
cd "$build"
exec ctest --output-on-failure --timeout 120
