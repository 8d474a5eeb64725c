#!/usr/bin/env bash
# Installs what is missing, builds in build/, and starts Tavrin Tutor in samples/, so the test
# pages' file dialogs open beside the bundled vocabulary. Arguments go to the program:
#   scripts/run.sh              a new document
#   scripts/run.sh FILE         FILE opened as a document
# TAVRIN_BUILD_DIR names another build folder than build/.
set -euo pipefail
start=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh
build=${TAVRIN_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build" -j "$(nproc)" --target tavrin

# Built and ready; a window still needs somewhere to go.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session, or under a virtual one: xvfb-run scripts/run.sh" >&2
    exit 1
fi

# A FILE given relative to where the script was started must still name the same file.
args=()
for arg in "$@"; do
    if [[ "$arg" != /* && "$arg" != -* ]] && [ -e "$start/$arg" ]; then
        args+=("$start/$arg")
    else
        args+=("$arg")
    fi
done

mkdir -p samples
cd samples
[[ "$build" = /* ]] || build="$root/$build"
exec "$build/shell/tavrin" "${args[@]+"${args[@]}"}"
