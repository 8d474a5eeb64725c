#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs the whole test suite.
#   scripts/test.sh             normal build (RelWithDebInfo) in build/
#   scripts/test.sh --sanitize  AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
#   scripts/test.sh --release   Release build (-O3), in build-release/
#   scripts/test.sh --clang     Clang 14 instead of GCC, in build-clang/
# Options combine; each combination builds in its own folder (--release --clang: build-release-clang/).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

suffix=""
options=(-DTAVRIN_WERROR=ON)
for arg in "$@"; do
    case "$arg" in
        --sanitize) suffix+=-asan; options+=(-DTAVRIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
        --release) suffix+=-release; options+=(-DCMAKE_BUILD_TYPE=Release) ;;
        --clang) suffix+=-clang; options+=(-DCMAKE_CXX_COMPILER=clang++-14) ;;
        *) echo "test.sh: unknown option $arg (known: --sanitize --release --clang)" >&2; exit 2 ;;
    esac
done
build=build$suffix

cmake -S . -B "$build" -G Ninja "${options[@]}"
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
