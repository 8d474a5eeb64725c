#!/usr/bin/env bash
# Times the reordering of a vocabulary file of 1,000,000 entries against plain copies of it.
#
#   bench/reorder.sh [BUILD_DIR]      (default build/; RUNS=5 ENTRIES=1000000 to change)
#
# Each run reorders the file and copies it, once with cp alone and once with cp and an fsync
# of the copy, since the reordering makes its new file durable before renaming it. Every
# command runs under /usr/bin/time, which gives the wall time and the peak resident memory.
# The file stays in the page cache throughout: this measures our work, not the disk's reads.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
runs=${RUNS:-5}
entries=${ENTRIES:-1000000}
cmake --build "$build" --target reorder_bench >/dev/null
tool=$build/bench/reorder_bench

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$tool" make "$entries" "$work/words.voc"
size=$(stat -c %s "$work/words.voc")

# Prints "seconds kilobytes" for one command: wall time to the millisecond (GNU time rounds
# to 10 ms, too coarse beside a copy that takes a few dozen) and peak resident memory.
measure() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) -v kb="$(cat "$work/time")" 'BEGIN { printf "%.3f %d\n", ns / 1e9, kb }'
}

mib() { awk -v k="$1" -v d="$2" 'BEGIN { printf "%.1f", k / d }'; }

echo "file: $entries entries, $size bytes ($(mib "$size" 1048576) MiB)"
printf '%-4s %12s %12s %12s %14s %12s %12s\n' run reorder_s cp_s cp+sync_s reorder_MiB cp_MiB \
    cp+sync_MiB
rows=()
for run in $(seq 1 "$runs"); do
    read -r rt rm < <(measure "$tool" reorder "$work/words.voc")
    rm -f "$work/copy.voc"
    read -r ct cm < <(measure cp "$work/words.voc" "$work/copy.voc")
    rm -f "$work/copy.voc"
    read -r st sm < <(measure sh -c 'cp "$1" "$2" && sync "$2"' sh "$work/words.voc" \
        "$work/copy.voc")
    rm -f "$work/copy.voc"
    printf '%-4s %12s %12s %12s %14s %12s %12s\n' "$run" "$rt" "$ct" "$st" "$(mib "$rm" 1024)" \
        "$(mib "$cm" 1024)" "$(mib "$sm" 1024)"
    rows+=("$rt $ct $st $rm")
done

# Medians over the runs, and the two ratios the targets are stated in.
printf '%s\n' "${rows[@]}" | awk -v size="$size" '
    { r[NR] = $1; c[NR] = $2; s[NR] = $3; m[NR] = $4 }
    function median(a, n,   i, j, t) {
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    END {
        n = NR; rt = median(r, n); ct = median(c, n); st = median(s, n); rm = median(m, n)
        printf "median: reorder %.3f s, cp %.3f s, cp+sync %.3f s, reorder peak RSS %.1f MiB\n", rt, ct, st, rm / 1024
        printf "time: reorder / (cp+sync) = %.2f, reorder / cp = %.2f   (target: within 2)\n", rt / st, (ct > 0 ? rt / ct : 0)
        printf "memory: reorder peak RSS / file size = %.2f   (target: within 2)\n", rm * 1024 / size
    }'
