#!/usr/bin/env bash
# What keeping a student's answers costs: recording one at Submit, and reading a big store back.
#
#   bench/progress.sh [BUILD_DIR]      (default build/; WORDS=100000 ANSWERS=1000000 to change)
#
# Submit: progress_bench drives the Latin page through 1,000 words of a file of WORDS words,
# timing each Submit, once with no answer log and once recording to a new store, then once more
# recording to a copy of the big store below. Target: recording adds at most 5 ms to the median.
# The first Submit that records opens the store, once a session; it is shown on its own.
#
# Report: a store of ANSWERS answers to those words on the three pages over the last 60 days,
# then tavrin-voc progress on it, as text and as --json, each the fastest of three runs under
# /usr/bin/time. Target: under a second and under 64 MiB of peak resident memory.
# Every file stays in the page cache throughout: this measures our work, not the disk's reads.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
words=${WORDS:-100000}
answers=${ANSWERS:-1000000}
# Every store here is named outright; anything that would otherwise record goes nowhere, so the
# user's own store is never touched.
export TAVRIN_NO_PROGRESS=1

cmake --build "$build" --target reorder_bench progress_bench >/dev/null
bench=$build/bench/progress_bench

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

# The value of field $2 on the line of $1 that starts with $3.
field() { awk -v key="$3" -v name="$2" '$1 == key { for (i = 1; i < NF; i++) if ($i == name) print $(i + 1) }' "$1"; }

"$build/bench/reorder_bench" make "$words" "$work/words.voc"
"$bench" submit "$work/new.sqlite" "$work/words.voc" >"$work/submit-new"
echo "filling a store of $answers answers on $words words..."
"$bench" fill "$work/full.sqlite" "$work/words.voc" "$answers"
cp "$work/full.sqlite" "$work/copy.sqlite"
# On the disk before the test: otherwise the store's first checkpoint, which syncs it, would wait
# for the whole copy to be written, a cost of this script and not of recording.
sync "$work/copy.sqlite"
"$bench" submit "$work/copy.sqlite" "$work/words.voc" >"$work/submit-full"
rm -f "$work/copy.sqlite"*

# The report is built only now, so that the Submit figures come out even while it does not build.
cmake --build "$build" --target tavrin-voc >/dev/null
voc=$build/cli/tavrin-voc

# Prints "seconds kilobytes cpu_seconds" for one command, its output dropped: the fastest of three
# runs, so that a neighbour's burst on a shared machine does not count as the command's time, the
# highest peak of the three, and the processor time (user and system) of the fastest, which a
# busy machine inflates less than the wall time.
measure() {
    local best= most=0 cpu= start end wall kb user sys
    for _ in 1 2 3; do
        start=$(date +%s%N)
        if ! /usr/bin/time -f '%e %M %U %S' -o "$work/time" "$@" >/dev/null 2>"$work/err"; then
            echo "progress.sh: $* failed:" >&2
            cat "$work/err" >&2
            exit 1
        fi
        end=$(date +%s%N)
        read -r wall kb user sys <"$work/time"
        if [ -z "$best" ] || [ $((end - start)) -lt "$best" ]; then
            best=$((end - start))
            cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
        fi
        if [ "$kb" -gt "$most" ]; then most=$kb; fi
    done
    awk -v ns="$best" -v kb="$most" -v cpu="$cpu" 'BEGIN { printf "%.3f %d %s\n", ns / 1e9, kb, cpu }'
}

read -r text_s text_kb text_cpu < <(measure "$voc" --progress "$work/full.sqlite" progress \
    "$work/words.voc")
read -r json_s json_kb json_cpu < <(measure "$voc" --progress "$work/full.sqlite" progress --json \
    "$work/words.voc")

row() { printf '%-50s %22s   %s\n' "$1" "$2" "$3"; }
echo
echo "$words words; store of $answers answers, $(du -m "$work/full.sqlite" | cut -f1) MiB"
row measure figure target
row "Submit, no answer log: median / p95" \
    "$(field "$work/submit-new" median_ms plain) / $(field "$work/submit-new" p95_ms plain) ms" ""
for store in new full; do
    f=$work/submit-$store
    label=$([ "$store" = new ] && echo "new store" || echo "$answers answers")
    row "Submit recording, $label: median / p95" \
        "$(field "$f" median_ms recording) / $(field "$f" p95_ms recording) ms" ""
    row "  difference of medians" \
        "$(awk '$1 == "median_difference_ms" { print $2 }' "$f") ms" "<= 5 ms"
    row "  slowest; Submits over 5 ms" \
        "$(field "$f" max_ms recording) ms; $(field "$f" over_5ms recording)" ""
    row "  first Submit recording (opens the store)" \
        "$(awk '$1 == "first_recording_submit_ms" { print $2 }' "$f") ms" "once a session"
done
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
row "progress FILE: wall (cpu) / peak RSS" "$text_s s ($text_cpu s) / $(mib "$text_kb") MiB" \
    "< 1 s, < 64 MiB"
row "progress --json FILE: wall (cpu) / peak RSS" "$json_s s ($json_cpu s) / $(mib "$json_kb") MiB" \
    "< 1 s, < 64 MiB"
