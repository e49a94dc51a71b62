#!/usr/bin/env python3
"""Writes the C++ table of the ASCII transliteration of single characters that
glibc's C.UTF-8 locale gives iconv's //TRANSLIT, read from the locale sources
(Debian's `locales` package: /usr/share/i18n/locales). The same table serves
every platform, so names are written the same bytes everywhere.

    generate_transliteration.py LOCALES_DIR OUTPUT.cpp

localedef's order: the entries of the locales a locale includes, in the order
of its includes and each flattened the same way, come before its own. The
entries are then sorted by source and searched as glibc searches them, so that
a character with two entries gets the one glibc finds. Of an entry's
alternatives, the first one that is all ASCII is the transliteration; an empty
one is none ("?" is written).
"""
import re
import sys
from pathlib import Path

CODE = re.compile(r"<U([0-9A-Fa-f]+)>")


def decode(token, where):
    """The code points of a token: "<U0041><U0045>", <U0041> or ""."""
    text = token.strip()
    if text.startswith('"') and text.endswith('"') and len(text) >= 2:
        text = text[1:-1]
    if CODE.sub("", text) != "":
        sys.exit(f"{where}: cannot read {token!r}")
    return [int(code, 16) for code in CODE.findall(text)]


def logical_lines(path):
    """The lines of a locale source, comments removed and '/' continuations joined."""
    pending = ""
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.startswith("%"):
            continue
        if line.endswith("/"):
            pending += line[:-1]
            continue
        line, pending = pending + line, ""
        comment = line.find("%")
        if comment >= 0:
            line = line[:comment]
        yield f"{path.name}:{number}", line.strip()


def translit_entries(locales, name, seen=None):
    """The flattened transliteration entries of locale `name`, in localedef's order."""
    seen = set() if seen is None else seen
    if name in seen:
        return []
    seen.add(name)
    own, includes = [], []
    in_ctype = in_translit = False
    for where, line in logical_lines(locales / name):
        if line == "LC_CTYPE":
            in_ctype = True
        elif line == "END LC_CTYPE":
            in_ctype = False
        elif in_ctype and line == "translit_start":
            in_translit = True
        elif in_ctype and line == "translit_end":
            in_translit = False
        elif in_translit and line.startswith("include "):
            includes.append(re.match(r'include\s+"([^"]+)"', line).group(1))
        elif in_translit and line.startswith("<U"):
            source, _, rest = line.partition(" ")
            characters = decode(source, where)
            alternatives = [decode(token, where) for token in rest.split(";")]
            own.append((characters, alternatives))
    flattened = []
    for included in includes:
        flattened.extend(translit_entries(locales, included, seen))
    return flattened + own


def glibc_lookup(entries, character):
    """What glibc's iconv finds for the character alone: a binary search of the
    entries sorted by their source, which goes on searching past an entry whose
    alternatives are none ASCII, and gives up on an entry that begins with the
    character but is longer. None when it finds nothing ("?" is written)."""
    low, high = 0, len(entries)
    while low < high:
        middle = (low + high) // 2
        source, alternatives = entries[middle]
        matched = 1 if source[0] == character else 0
        if matched and len(source) == 1:
            ascii = next((a for a in alternatives if all(c < 0x80 for c in a)), None)
            if ascii is not None:
                return "".join(map(chr, ascii)) or None
        elif matched:
            return None
        if matched or source[0] < character:
            low = middle + 1
        else:
            high = middle
    return None


def table(locales):
    # localedef sorts the flattened entries with glibc's qsort, a stable merge
    # sort: of two entries for one character, the first in localedef's order
    # comes first in the table, though the search may meet either.
    entries = sorted(translit_entries(locales, "C"), key=lambda entry: entry[0])
    rows = ((character, glibc_lookup(entries, character)) for character in {e[0][0] for e in entries})
    return sorted((character, text) for character, text in rows if text)


def cpp_string(text):
    return '"' + "".join("\\" + c if c in '"\\' else c for c in text) + '"'


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: generate_transliteration.py LOCALES_DIR OUTPUT.cpp")
    rows = table(Path(sys.argv[1]))
    lines = [
        "// Generated at build time by tools/generate_transliteration.py from glibc's",
        "// locale sources; not to be edited.",
        '#include "shared/transliteration.h"',
        "",
        "namespace couloir {",
        "",
        "const TransliterationEntry kTransliterations[] = {",
    ]
    lines += [f"    {{0x{code:X}, {cpp_string(text)}}}," for code, text in rows]
    lines += ["};", f"const std::size_t kTransliterationCount = {len(rows)};", "", "}  // namespace couloir", ""]
    output = Path(sys.argv[2])
    output.write_text("\n".join(lines), encoding="ascii")


if __name__ == "__main__":
    main()
