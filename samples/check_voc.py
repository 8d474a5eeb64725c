#!/usr/bin/env python3
"""Check a vocabulary file byte by byte and print its entries for proofreading.

Usage: check_voc.py FILE...   (exit status 1 if any file breaks a rule)
"""
import sys

# The reordering keeps each line in a fixed slot; longer lines would shift the file.
MAX_HEADWORD = 78
MAX_DEFINITION = 198
MAX_ENTRIES = 200


def check(path):
    data = open(path, "rb").read()
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("starts with a UTF-8 byte-order mark")
    if any(b > 0x7E or (b < 0x20 and b not in (0x0D, 0x0A)) for b in data):
        problems.append("holds bytes outside printable ASCII")
    if not data.endswith(b"\r\n"):
        problems.append("does not end with CR LF")
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        problems.append("holds a bare LF or CR")
    lines = data.decode("ascii", "replace").split("\r\n")[:-1]
    if len(lines) % 6:
        problems.append(f"{len(lines)} lines, not a multiple of 6")
    entries = [lines[i:i + 6] for i in range(0, len(lines), 6)]
    if len(entries) > MAX_ENTRIES:
        problems.append(f"{len(entries)} entries, more than {MAX_ENTRIES}")
    seen = set()
    for n, entry in enumerate(entries, 1):
        head, defs = entry[0], entry[1:]
        where = f"entry {n} ({head.split(' ')[0]})"
        if " " not in head or head.startswith(" "):
            problems.append(f"{where}: headword line needs text form, blank, dictionary form")
        dictionary = head.partition(" ")[2]
        if dictionary != dictionary.lower():
            problems.append(f"{where}: dictionary form not in lower case")
        if len(head) > MAX_HEADWORD:
            problems.append(f"{where}: headword line longer than {MAX_HEADWORD}")
        if head in seen:
            problems.append(f"{where}: duplicate")
        seen.add(head)
        for line in entry:
            if line != line.strip() or "  " in line:
                problems.append(f"{where}: stray blanks in {line!r}")
        for d in defs:
            if d != d.lower():
                problems.append(f"{where}: definition {d!r} not in lower case")
            if len(d) > MAX_DEFINITION:
                problems.append(f"{where}: definition longer than {MAX_DEFINITION}")
        if not defs[0]:
            problems.append(f"{where}: first definition empty")
        filled = [d for d in defs if d]
        if defs[:len(filled)] != filled:
            problems.append(f"{where}: empty definition before a filled one")
        text, _, dictionary = head.partition(" ")
        print(f"{n:3} {text:<10} {dictionary:<38} {' / '.join(filled)}")
    print(f"{path}: {len(entries)} entries, {len(lines)} lines, {len(data)} bytes")
    for p in problems:
        print(f"{path}: {p}", file=sys.stderr)
    return not problems


if __name__ == "__main__":
    results = [check(p) for p in sys.argv[1:]]
    sys.exit(0 if results and all(results) else 1)
