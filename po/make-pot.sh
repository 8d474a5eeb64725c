#!/usr/bin/env bash
# Writes the text domain's template from the sources: po/make-pot.sh OUT.pot
# The build target tavrin_pot runs it onto po/tavrin.pot; scripts/check-po.sh runs it to see
# whether the committed template is up to date. Locations name files without line numbers, so
# that the template changes only when a text does.
set -euo pipefail
out=$(realpath -m "$1")
cd "$(dirname "$0")/.."

mapfile -t sources < <(find platform res shell pages progress vocab cli -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
common=(--from-code=UTF-8 --add-location=file --sort-output --package-name=tavrin
        --package-version=1.0.0.1 --msgid-bugs-address=tavrin@example.org
        --copyright-holder="Tavrin Tutor developers")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
xgettext "${common[@]}" --language=C++ --keyword=_ --keyword=N_ --keyword=NP_:1,2 \
    --keyword=P_:1,2 --flag=P_:1:c-format --flag=P_:2:c-format -o "$tmp/code.pot" "${sources[@]}"
xgettext "${common[@]}" --language=Desktop -o "$tmp/desktop.pot" packaging/tavrin.desktop.in
xgettext "${common[@]}" --its=/usr/share/gettext/its/metainfo.its -o "$tmp/metainfo.pot" \
    packaging/tavrin.metainfo.xml.in
msgcat --use-first --sort-output --add-location=file -o "$out" \
    "$tmp/code.pot" "$tmp/desktop.pot" "$tmp/metainfo.pot"
