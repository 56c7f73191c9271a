#!/usr/bin/env bash
# Builds the libFuzzer targets (clang-14, AddressSanitizer and UndefinedBehaviorSanitizer)
# into build-fuzz and runs each for a while on a copy of its seed corpus:
#
#   bash tools/fuzz.sh          each target for 60 seconds (a quick check, about 5 minutes)
#   bash tools/fuzz.sh 3600     each target for an hour: the longer run worth doing before
#                               a release or after changing the conversions or the reader
#
# The grown corpus stays in build-fuzz/corpus/<target>; the seeds in fuzz/corpus are
# never changed. A crash, a broken check or a timeout fails the script; the input that
# caused it is left in build-fuzz/artifacts/<target>/, and can be replayed with
#   build-fuzz/<target> build-fuzz/artifacts/<target>/crash-...
set -euo pipefail

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds per target]" >&2
  exit 2
fi

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUORVANE_FUZZ_BUILD_DIR:-$top/build-fuzz}
targets=(fuzz_leading_number fuzz_strict_number fuzz_focus_rule fuzz_settings_reader)

bash "$top/tools/install-missing.sh" clang-14 libclang-rt-14-dev cmake qt6-base-dev

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_FUZZ=ON -DBUILD_TESTING=OFF
fi
cmake --build "$build" -j "$(nproc)" --target quorvane_fuzzers

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t"
  mkdir -p "$corpus" "$artifacts"
  cp -n "$top/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
  echo "== $t: ${seconds}s"
  log="$build/$t.log"
  # -timeout: one input taking more than 10 s is a hang, and a failure.
  if "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$log" | tr '\n' ' '
    echo "corpus: $(find "$corpus" -type f | wc -l) files"
  else
    failed+=("$t")
    tail -n 60 "$log"
  fi
done

if ((${#failed[@]})); then
  echo "Fuzzing found problems in: ${failed[*]} (inputs in $build/artifacts/)" >&2
  exit 1
fi
echo "All fuzz targets ran ${seconds}s each without a finding."
