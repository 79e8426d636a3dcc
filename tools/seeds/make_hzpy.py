#!/usr/bin/env python3
"""Build data/hzpy.tsv, the character-to-pinyin table, from Unicode Unihan.

Usage:
    python3 tools/seeds/make_hzpy.py [READINGS] [-o OUTPUT]

READINGS is Unihan_Readings.txt, either plain, bzip2-compressed (as Debian's
unicode-data package ships it: /usr/share/unicode/Unihan_Readings.txt.bz2)
or inside Unihan.zip.  Without it the script looks in /usr/share/unicode.
OUTPUT defaults to data/hzpy.tsv next to this tools/ folder.

Each output line is  character TAB reading TAB rank, one line per reading,
with no header.  Readings carry tone marks ("háng").  Rank 1 is the most
common reading.  The order is:

  1. kMandarin, in its own order (Unihan's customary reading(s));
  2. kHanyuPinlu, which lists readings by frequency in a modern corpus;
  3. kHanyuPinyin, kXHC1983, kTGHZ2013: any readings not yet seen, in the
     order they appear.

A character without any Mandarin reading is left out.  Lines are sorted by
code point, then rank, so the file diffs cleanly between regenerations.
"""

import argparse
import bz2
import io
import os
import re
import sys
import unicodedata
import zipfile

FIELDS = ("kMandarin", "kHanyuPinlu", "kHanyuPinyin", "kXHC1983", "kTGHZ2013")
DEFAULT_DIR = "/usr/share/unicode"
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data", "hzpy.tsv"))

# A reading is lower-case Latin letters with combining tone/umlaut marks once
# decomposed; anything else (stray digits, markers) is not a reading.
READING_RE = re.compile(r"^[a-z\u0300-\u036f]+$")


def open_readings(path):
    """Return a text stream over Unihan_Readings.txt, whatever its packaging."""
    if path is None:
        for name in ("Unihan_Readings.txt", "Unihan_Readings.txt.bz2", "Unihan.zip"):
            cand = os.path.join(DEFAULT_DIR, name)
            if os.path.exists(cand):
                path = cand
                break
        else:
            sys.exit("no Unihan readings file found in %s; pass its path" % DEFAULT_DIR)
    if path.endswith(".zip"):
        zf = zipfile.ZipFile(path)
        member = next((n for n in zf.namelist() if n.endswith("Unihan_Readings.txt")), None)
        if member is None:
            sys.exit("%s has no Unihan_Readings.txt" % path)
        return io.TextIOWrapper(zf.open(member), encoding="utf-8")
    if path.endswith(".bz2"):
        return bz2.open(path, "rt", encoding="utf-8")
    return open(path, encoding="utf-8")


def readings_of(field, value):
    """Split one Unihan field value into its readings, in the order given."""
    out = []
    for item in value.split():
        if field == "kHanyuPinlu":
            item = item.split("(", 1)[0]          # "xíng(2943)" -> "xíng"
        elif field in ("kHanyuPinyin", "kXHC1983", "kTGHZ2013"):
            item = item.rsplit(":", 1)[-1]         # "0442.080:háng" -> "háng"
        for r in item.split(","):
            r = unicodedata.normalize("NFC", r.strip().lower())
            if r and READING_RE.match(unicodedata.normalize("NFD", r)):
                out.append(r)
    return out


def build(stream):
    """Map code point -> ordered list of distinct readings."""
    per_char = {}
    for line in stream:
        if not line.startswith("U+"):
            continue
        parts = line.rstrip("\n").split("\t")
        if len(parts) != 3 or parts[1] not in FIELDS:
            continue
        cp = int(parts[0][2:], 16)
        per_char.setdefault(cp, {})[parts[1]] = readings_of(parts[1], parts[2])
    table = {}
    for cp, fields in per_char.items():
        seen = []
        for f in FIELDS:
            for r in fields.get(f, ()):
                if r not in seen:
                    seen.append(r)
        if seen:
            table[cp] = seen
    return table


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("readings", nargs="?", help="Unihan_Readings.txt(.bz2) or Unihan.zip")
    ap.add_argument("-o", "--output", default=DEFAULT_OUT)
    args = ap.parse_args()

    with open_readings(args.readings) as stream:
        table = build(stream)

    rows = 0
    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        for cp in sorted(table):
            for rank, r in enumerate(table[cp], 1):
                out.write("%s\t%s\t%d\n" % (chr(cp), r, rank))
                rows += 1
    print("%s: %d characters, %d rows, %d bytes"
          % (args.output, len(table), rows, os.path.getsize(args.output)))


if __name__ == "__main__":
    main()
