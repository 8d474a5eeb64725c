#!/usr/bin/env bash
# Files that are not vocabulary, on every test page and through the reordering: the slowest
# press and the memory the work took beyond idle.
#
#   bench/hostile.sh [BUILD_DIR]      (default build/; HUGE_MIB=256 RANDOM_MIB=64 to change)
#
# Files: one line of HUGE_MIB MiB with no line end; RANDOM_MIB MiB of random bytes (NULs, CRs,
# bytes that are not UTF-8, lines of any length); the same random bytes with every LF taken
# out (one huge line of binary). Each page presses Begin Test, then Submit and Next Word until
# the file ends (at most 200 words), then Quit Testing, in a process of its own. The targets:
# every press under 1000 ms, memory within 64 MiB of idle. The reordering keeps such files
# byte for byte and holds them whole, so its memory grows with the file by design.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
huge_mib=${HUGE_MIB:-256}
random_mib=${RANDOM_MIB:-64}
cmake --build "$build" --target hostile_bench >/dev/null
tool=$build/bench/hostile_bench

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-hostile-XXXXXX")
trap 'rm -rf "$work"' EXIT

head -c "$((huge_mib << 20))" /dev/zero | tr '\0' 'x' >"$work/huge-line.voc"
head -c "$((random_mib << 20))" /dev/urandom >"$work/random.voc"
tr -d '\n' <"$work/random.voc" >"$work/random-no-lf.voc"

printf '%-18s %-9s %s\n' file run result
for file in huge-line random random-no-lf; do
    for page in latin english word; do
        printf '%-18s %-9s %s\n' "$file" "$page" "$("$tool" page "$page" "$work/$file.voc")"
    done
    cp "$work/$file.voc" "$work/reorder.voc"
    printf '%-18s %-9s %s\n' "$file" reorder "$("$tool" reorder "$work/reorder.voc")"
done
