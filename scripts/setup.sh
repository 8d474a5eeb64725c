#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tavrin Tutor need, where they
# are missing. Uses sudo when not run as root. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    libgtest-dev googletest libcli11-dev libicu-dev libsqlite3-dev
    xvfb xauth fonts-dejavu-core fonts-urw-base35 time
    clang-14
    dpkg-dev file lintian desktop-file-utils appstream gettext optipng
)
# scripts/fuzz.sh asks for the fuzzing compiler.
if [ "${TAVRIN_FUZZ:-}" = 1 ]; then packages+=(clang-14 libclang-rt-14-dev); fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
