#!/usr/bin/env bash
# Start-up of tavrin against a bare Qt multiple-document program (bench/bare_mdi.cpp), under Xvfb.
#
#   bench/startup.sh [BUILD_DIR]      (default build/; RUNS=10 to change)
#
# Each run starts a program with TAVRIN_QUIT_WHEN_SHOWN set: it prints the moment its main window
# is first exposed and quits. The time from launch to that moment, and the peak resident memory
# that /usr/bin/time reports, are taken for both programs, runs interleaved, after one warm-up
# run each that is not counted. Target: tavrin within 1.2 times the bare program on both.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${TAVRIN_BENCH_UNDER_XVFB:-}" ]; then
    export TAVRIN_BENCH_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

build=${1:-build}
runs=${RUNS:-10}
cmake --build "$build" --target tavrin bare_mdi >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-startup-XXXXXX")
trap 'rm -rf "$work"' EXIT
# Neither program may read or write the user's settings.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime TAVRIN_QUIT_WHEN_SHOWN=1
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# Prints "milliseconds kilobytes" for one start of program $1.
measure() {
    local start shown
    start=$(date +%s%N)
    /usr/bin/time -f 'rss %M' -o "$work/time" "$1" >"$work/out" 2>"$work/err" || {
        echo "startup.sh: $1 failed:" >&2
        cat "$work/err" >&2
        exit 1
    }
    shown=$(awk '$1 == "shown" { print $2 }' "$work/out")
    if [ -z "$shown" ]; then
        echo "startup.sh: $1 never reported its window shown" >&2
        exit 1
    fi
    awk -v s="$start" -v e="$shown" -v r="$(awk '$1 == "rss" { print $2 }' "$work/time")" \
        'BEGIN { printf "%.1f %d\n", (e - s) / 1e6, r }'
}

tavrin=$(realpath "$build/shell/tavrin")
bare=$(realpath "$build/bench/bare_mdi")
cd "$work"
measure "$tavrin" >/dev/null
measure "$bare" >/dev/null

printf '%-4s %14s %14s %14s %14s\n' run tavrin_ms bare_ms tavrin_MiB bare_MiB
rows=()
for run in $(seq 1 "$runs"); do
    read -r tt tm < <(measure "$tavrin")
    read -r bt bm < <(measure "$bare")
    awk -v r="$run" -v a="$tt" -v b="$bt" -v c="$tm" -v d="$bm" \
        'BEGIN { printf "%-4s %14s %14s %14.1f %14.1f\n", r, a, b, c / 1024, d / 1024 }'
    rows+=("$tt $bt $tm $bm")
done

printf '%s\n' "${rows[@]}" | awk '
    { tt[NR] = $1; bt[NR] = $2; tm[NR] = $3; bm[NR] = $4 }
    function median(a, n,   i, j, t) {
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
        n = NR; t1 = median(tt, n); t2 = median(bt, n); m1 = median(tm, n); m2 = median(bm, n)
        printf "median: tavrin %.1f ms, %.1f MiB; bare %.1f ms, %.1f MiB\n", t1, m1 / 1024, t2, m2 / 1024
        printf "tavrin / bare: time %.2f, peak RSS %.2f   (target: within 1.2)\n", t1 / t2, m1 / m2
    }'
