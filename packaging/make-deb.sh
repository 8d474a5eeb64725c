#!/usr/bin/env bash
# Makes the Debian package from a Release build in build-deb/ and checks it: the desktop entry,
# the AppStream metainfo and the whole package (lintian). Needs no network.
#   packaging/make-deb.sh      leaves tavrin_<version>_<arch>.deb in build-deb/
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=build-deb
# Debian's own hardening flags, as a Debian package build passes them; no tests, since the
# package holds the programs only and CI runs the suite on its own builds.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF -DTAVRIN_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/tavrin_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/tavrin_*.deb)

# Check the files as the package holds them, not as they are in the source tree.
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
echo "== desktop-file-validate"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
echo "== lintian"
# Warnings are listed in the README's Installing section with the reason each stays; errors fail.
lintian --fail-on error --tag-display-limit 0 "$deb"
echo "make-deb.sh: $deb"
dpkg-deb --contents "$deb" | awk '{print $NF}'
