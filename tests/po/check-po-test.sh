#!/usr/bin/env bash
# scripts/check-po.sh on copies of po/, each spoilt in one way: every spoilt copy must fail and
# name what is wrong; the untouched copy must pass.
set -uo pipefail
cd "$(dirname "$0")/../.."

# name | how the copy is spoilt (a command run inside it) | what the report must say
cases=(
    "untouched|true|"
    "missing entry|sed -i '/^msgid \"Wrong Answer\"/,/^\$/d' de.po|de.po: entries of the template missing"
    "untranslated entry|sed -i '/^msgid \"Wrong Answer\"/{n;s/.*/msgstr \"\"/}' de.po|de.po: entries of the template missing"
    "fuzzy entry|sed -i 's/^msgid \"Wrong Answer\"/#, fuzzy\\n&/' de.po|de.po: entries of the template missing"
    "format fault|sed -i 's/Fehler beim Lesen der Datei, Code: %d/Fehler beim Lesen der Datei, Code: %s/' de.po|de.po: msgfmt found faults"
    "accelerator lost|sed -i 's/^msgstr \"&Abgeben\"/msgstr \"Abgeben\"/' de.po|de.po: msgfmt found faults"
    "stale template|sed -i '/^msgid \"Wrong Answer\"/,/^\$/d' tavrin.pot|tavrin.pot is out of date"
    "unfinished catalog with a missing entry|sed -i '/^msgid \"Wrong Answer\"/,/^\$/d' fr.po|fr.po: entries of the template missing"
)

status=0
for row in "${cases[@]}"; do
    IFS='|' read -r name spoil expected <<<"$row"
    copy=$(mktemp -d)
    cp po/* "$copy"/
    (cd "$copy" && eval "$spoil")
    report=$(bash scripts/check-po.sh "$copy" 2>&1)
    rc=$?
    rm -rf "$copy"
    if [ -z "$expected" ]; then
        if [ "$rc" -ne 0 ]; then echo "FAIL $name: exit $rc: $report"; status=1; else echo "ok   $name"; fi
    elif [ "$rc" -eq 0 ] || [[ "$report" != *"$expected"* ]]; then
        echo "FAIL $name: exit $rc, expected a report with '$expected':"
        echo "$report"
        status=1
    else
        echo "ok   $name"
    fi
done
exit "$status"
