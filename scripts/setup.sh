#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tavrin Tutor need, where they
# are missing. Uses sudo when not run as root. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev qt6-translations-l10n
    libgtest-dev googletest libcli11-dev libicu-dev libsqlite3-dev
    xvfb xauth fonts-dejavu-core fonts-urw-base35 time
    clang-14
    dpkg-dev file lintian desktop-file-utils appstream gettext optipng
    locales
)
# scripts/fuzz.sh asks for the fuzzing compiler.
if [ "${TAVRIN_FUZZ:-}" = 1 ]; then packages+=(clang-14 libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Some tests run under a German C library locale, whose numbers take a decimal comma. Generate it
# where it is missing; where that cannot be done the set-up goes on, and those tests say they
# were skipped.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    if $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1; then
        echo "Generated the de_DE.UTF-8 locale"
    else
        echo "setup: could not generate the de_DE.UTF-8 locale; the tests that need it are skipped" >&2
    fi
fi
