#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for a bounded time.
#   scripts/fuzz.sh [SECONDS]      (default 20 seconds per target)
# Every target starts from its seeds (fuzz/seeds/TARGET, samples/) and the inputs kept in
# fuzz/regressions/TARGET, and grows its corpus in build-fuzz/corpus/TARGET across runs. A
# finding stops the run with a nonzero status; its input is in build-fuzz/findings/. Once fixed,
# copy the input to fuzz/regressions/TARGET/, where the normal test suite replays it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
TAVRIN_FUZZ=1 bash scripts/setup.sh
build=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DTAVRIN_FUZZ=ON -DTAVRIN_GUI=OFF \
    -DTAVRIN_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(cd fuzz && sed -n 's/^tavrin_fuzz_target(\([a-z_0-9]*\) .*/\1/p' CMakeLists.txt)
cmake --build "$build" -j "${JOBS:-2}" --target $(printf 'fuzz_%s ' $targets)

# The reordering writes and fsyncs a file per input: in memory that costs nothing.
if [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/findings"
total=0
for t in $targets; do
    corpus=$build/corpus/$t
    mkdir -p "$corpus"
    seeds=()
    for dir in fuzz/seeds/$t fuzz/regressions/$t; do [ -d "$dir" ] && seeds+=("$dir"); done
    log=$build/fuzz-$t.log
    if ! "$build/fuzz/fuzz_$t" "$corpus" "${seeds[@]}" samples -max_total_time="$seconds" \
        -max_len=20000 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/findings/$t-" >"$log" 2>&1; then
        tail -40 "$log"
        echo "fuzz.sh: $t found a fault; input in $build/findings/" >&2
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    total=$((total + runs))
    printf 'fuzz %-10s %10s executions in %s s, corpus %s inputs\n' "$t" "$runs" "$seconds" \
        "$(ls "$corpus" | wc -l)"
done
echo "fuzz: $total executions, no finding"
