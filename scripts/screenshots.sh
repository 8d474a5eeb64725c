#!/usr/bin/env bash
# Pictures of Tavrin Tutor for the README, in English and in German, under Xvfb:
#   scripts/screenshots.sh [BUILD_DIR]     (default build/)
# Writes docs/screenshots/{en,de}-{main-window,test-sheet,builder,builder-question}.png, each
# optimised with optipng, and {en,de}-quiz.txt, a short `tavrin-voc quiz` on the sample. Look
# at every picture before committing it: nothing cut off, nothing overlapping.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${TAVRIN_SHOTS_UNDER_XVFB:-}" ]; then
    export TAVRIN_SHOTS_UNDER_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$0" "$@"
fi

build=${1:-build}
out=docs/screenshots
cmake --build "$build" --target tavrin_screenshots tavrin-voc tavrin_mo >/dev/null
mkdir -p "$out"

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrin-shots-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The user's settings and answers stay untouched: the recent-file list starts empty, and the
# quiz's answers go to a store in the work folder.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset LC_MESSAGES LANG

for lang in en de; do
    language=""
    [ "$lang" = en ] || language=$lang
    (
        cd samples
        LANGUAGE=$language LC_ALL=C.UTF-8 "../$build/tests/shell/tavrin_screenshots" \
            "../$out" "$lang" aeneid.voc
        # A short quiz as a terminal shows it: each answer typed after its word.
        printf 'weapons\nhero\npraise\n' |
            LANGUAGE=$language LC_ALL=C.UTF-8 "../$build/cli/tavrin-voc" quiz aeneid.voc \
                >"../$out/$lang-quiz.txt"
    )
done
optipng -quiet -o5 -strip all "$out"/*.png
ls -l "$out"
