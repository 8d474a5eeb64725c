#!/usr/bin/env bash
# Keeps the translations whole. Fails when po/tavrin.pot is out of date with the sources, when a
# catalog of po/LINGUAS lacks an entry of the template or has one untranslated or fuzzy, or when
# msgfmt finds a fault (format strings, plural forms, header, accelerators).
#   scripts/check-po.sh [PO_DIR]     PO_DIR defaults to po/ (the tests point it at a copy)
# After changing a text in the sources:
#   cmake --build build --target tavrin_pot
#   for f in po/*.po; do msgmerge --update --backup=none "$f" po/tavrin.pot; done
# then translate what msgmerge left empty or fuzzy.
set -uo pipefail
cd "$(dirname "$0")/.."
po=${1:-po}

failed=0
fail() {
    echo "check-po: $*" >&2
    failed=1
}

fresh=$(mktemp)
trap 'rm -f "$fresh"' EXIT
bash po/make-pot.sh "$fresh" || fail "xgettext could not read the sources"
if ! diff -q <(grep -v '^"POT-Creation-Date:' "$fresh") \
        <(grep -v '^"POT-Creation-Date:' "$po/tavrin.pot") >/dev/null; then
    fail "$po/tavrin.pot is out of date with the sources: cmake --build build --target tavrin_pot, then merge (see the head of this script)"
fi

while read -r lang; do
    [[ -z "$lang" || "$lang" == \#* ]] && continue
    catalog=$po/$lang.po
    if [ ! -f "$catalog" ]; then
        fail "$catalog is missing (named in $po/LINGUAS)"
        continue
    fi
    msgfmt --check --check-accelerators='&' -o /dev/null "$catalog" ||
        fail "$catalog: msgfmt found faults (above)"
    msgcmp "$catalog" "$po/tavrin.pot" ||
        fail "$catalog: entries of the template missing, untranslated or fuzzy (above)"
done <"$po/LINGUAS"

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "check-po: template and catalogs are whole"
