#!/usr/bin/env bash
# Times tavrin-voc check and import beside wc -l on the same files, and shows that their peak
# memory does not grow with the file.
#
#   bench/cli.sh [BUILD_DIR]      (default build/; ENTRIES=1000000 to change)
#
# Two files, ENTRIES words and a tenth of that, made as bench/reorder.sh makes its file. For
# each: wc -l and check on the vocabulary file, then wc -l and import on its CSV export.
# Peak resident memory is /usr/bin/time's %M. The files stay in the page cache throughout.
#
# What the shortcuts of the reading and the writing were worth when they were made, in the
# profile of an import of the larger file's CSV export (so a later run can tell them again):
# a call per byte while a field is appended, most of the time; the bytes of plain fields
# passed over one by one, most of the reading; a copy of each field, a fifth; an append per
# line of a word, a sixth of the reading thread; a new block of words for each hand-over, a
# tenth; a call per word, as much as the reading; the writer copying large blocks into its
# buffer, a tenth of the writing. Check's rules took as long as the import itself, hence the
# second thread; in check, a bucket read for each form past the held ones was most of its
# time, and a search per meaning for a filled one after it a tenth.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
entries=${ENTRIES:-1000000}
cmake --build "$build" --target reorder_bench tavrin-voc >/dev/null
voc=$build/cli/tavrin-voc

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Prints "seconds kilobytes" for one command, its output dropped: the fastest of three runs,
# so that a neighbour's burst on a shared machine does not count as the command's time.
measure() {
    local start end best=
    for _ in 1 2 3; do
        start=$(date +%s%N)
        /usr/bin/time -f '%M' -o "$work/time" "$@" >/dev/null 2>&1 || true
        end=$(date +%s%N)
        if [ -z "$best" ] || [ $((end - start)) -lt "$best" ]; then best=$((end - start)); fi
    done
    awk -v ns="$best" -v kb="$(cat "$work/time")" 'BEGIN { printf "%.3f %d\n", ns / 1e9, kb }'
}

printf '%-9s %-6s %9s %9s %8s %10s %9s\n' words input wc_s tool_s ratio tool_MiB wc_MiB
for n in $((entries / 10)) "$entries"; do
    "$build/bench/reorder_bench" make "$n" "$work/words.voc"
    "$voc" export "$work/words.voc" -o "$work/words.csv" --force
    for step in check import; do
        if [ "$step" = check ]; then
            file=$work/words.voc
            read -r tt tm < <(measure "$voc" check "$file")
        else
            file=$work/words.csv
            read -r tt tm < <(measure "$voc" import --force "$file" -o "$work/back.voc")
        fi
        read -r wt wm < <(measure wc -l "$file")
        awk -v n="$n" -v s="$step" -v wt="$wt" -v tt="$tt" -v tm="$tm" -v wm="$wm" 'BEGIN {
            printf "%-9d %-6s %9.3f %9.3f %8.1f %10.1f %9.1f\n", n, s, wt, tt, (wt > 0 ? tt / wt : 0), tm / 1024, wm / 1024 }'
    done
    cmp -s "$work/words.voc" "$work/back.voc" || echo "round trip differs for $n words" >&2
done

# A line list with a blank line between its entries, and another three times as long: every
# word's input line steps away from its number, which the import must not keep.
printf '\n%-9s %-9s %9s %10s\n' entries input tool_s tool_MiB
for n in "$entries" $((entries * 3)); do
    awk -v n="$n" 'BEGIN { for (i = 1; i <= n; ++i) printf "verbum%d - word %d\n\n", i, i }' \
        >"$work/list.txt"
    read -r tt tm < <(measure "$voc" import --force "$work/list.txt" -o "$work/list.voc")
    awk -v n="$n" -v tt="$tt" -v tm="$tm" 'BEGIN {
        printf "%-9d %-9s %9.3f %10.1f\n", n, "lines", tt, tm / 1024 }'
done
echo "targets: check and import within 10 times wc -l; peak memory the same for both sizes"
echo "(and for both line lists, within 10%)"
echo "(check holds at most 200,000 distinct text forms for its duplicate warning, in 3.25 MiB)"
