#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in their own build folder, then runs each from its seed
# corpus for a bounded time. Fails on any finding: a crash, a sanitizer report, a broken
# invariant, a leak, a time-out. Findings are kept under <build>/findings/.
#   fuzz/run.sh [seconds per target]          (default 30, or FUZZ_SECONDS)
# FUZZ_BUILD_DIR (default build-fuzz) and FUZZ_CXX (default clang++-14) can be set.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-"$here/build-fuzz"}
seconds=${1:-${FUZZ_SECONDS:-30}}
targets=(line regid conf launch_edit)

# The project with BRELMONT_FUZZ: only the core, the test double and the fuzz targets get built.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++-14}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELMONT_FUZZ=ON -DBRELMONT_WERROR=ON \
  -DBRELMONT_TESTS=OFF -DBRELMONT_WITH_QT=OFF -DBRELMONT_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target "${targets[@]/%/_fuzz}"

# Reports name functions and lines only with a symbolizer.
if command -v llvm-symbolizer-14 >/dev/null; then
  export ASAN_SYMBOLIZER_PATH=$(command -v llvm-symbolizer-14)
fi

mkdir -p "$build/findings"
summary="$build/summary.txt"
: >"$summary"
status=0
for target in "${targets[@]}"; do
  # New inputs go to the build folder; the seeds in the repository stay as they are.
  work="$build/corpus/$target"
  log="$build/$target.log"
  mkdir -p "$work"
  if "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -dict="$here/fuzz/$target.dict" \
      -artifact_prefix="$build/findings/$target-" "$work" "$here/fuzz/corpus/$target" \
      >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    edges=$(sed -n 's/.*DONE *cov: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    echo "fuzz $target: $runs executions in $seconds s, $edges coverage points, no finding" |
      tee -a "$summary"
  else
    echo "fuzz $target: FINDING, see $log and $build/findings/" | tee -a "$summary"
    grep -E 'invariant broken|ERROR: |SUMMARY|Test unit written' "$log" || tail -n 30 "$log"
    status=1
  fi
done
exit "$status"
