#!/usr/bin/env python3
"""Build data/pyphrase.tsv, the words and idioms whose readings settle the
characters that have more than one reading (多音字), from the dictionary of
the npm package @pinyin-pro/data (ISC licence; the data package of pinyin-pro),
file json/complete.json.

Usage:
    (mkdir -p /tmp/ppd && cd /tmp/ppd && npm pack @pinyin-pro/data && tar xzf pinyin-pro-data-*.tgz)
    python3 tools/seeds/make_pyphrase.py /tmp/ppd/package [--hzpy data/hzpy.tsv] [--verse data/pyverse.tsv] [-o OUTPUT]

The program gives a character outside every phrase its reading in the verse
table (data/pyverse.tsv, single characters), else its first reading in
hzpy.tsv that has a tone, so only phrases that change something are kept:

  1. a phrase in which some character's reading is not that reading;
  2. a phrase that contains a phrase of kind 1, since the longer phrase wins
     over the shorter one inside it.

Readings are written as a dictionary gives them, not as they are spoken:
一 and 不 keep their own tone (yī, bù) where the source marks the tone
change before another syllable (yì, yí, bú), and a syllable the source gives
in the neutral tone takes the character's first toned reading with the same
letters (东西 dōng xi becomes dōng xī): verse is read syllable by syllable.
A phrase whose syllable count differs from its length is left out.

Each output line is  phrase TAB readings (blank-separated), sorted by phrase.
"""

import argparse
import json
import os
import sys
import unicodedata
from collections import defaultdict

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))


def letters(s):
    return "".join(ch for ch in unicodedata.normalize("NFD", s) if ch.isascii())


def has_tone(s):
    return any(ch in "\u0300\u0301\u0304\u030c" for ch in unicodedata.normalize("NFD", s))


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("package", help="the unpacked @pinyin-pro/data package")
    ap.add_argument("--hzpy", default=os.path.join(ROOT, "data", "hzpy.tsv"))
    ap.add_argument("--verse", default=os.path.join(ROOT, "data", "pyverse.tsv"))
    ap.add_argument("-o", "--output", default=os.path.join(ROOT, "data", "pyphrase.tsv"))
    args = ap.parse_args()

    readings = defaultdict(list)
    with open(args.hzpy, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3:
                readings[parts[0]].append((int(parts[2]), parts[1]))
    first = {}
    for c, rs in readings.items():
        rs.sort()
        readings[c] = [r for _, r in rs]
        # As the program does: the first reading with a tone, else the first.
        toned = [r for r in readings[c] if has_tone(r)]
        first[c] = toned[0] if toned else readings[c][0]
    # The verse table's single characters replace that reading.
    with open(args.verse, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 2 and len(parts[0]) == 1 and not parts[0].startswith("#"):
                first[parts[0]] = parts[1].strip()

    def norm(c, s):
        if c == "一" and s in ("yí", "yì"):
            return "yī"
        if c == "不" and s == "bú":
            return "bù"
        rs = readings.get(c, [])
        if not has_tone(s):
            # Neutral tone: the first toned reading with the same letters.
            for r in rs:
                if letters(r) == s and r != s:
                    return r
        return s

    path = os.path.join(args.package, "json", "complete.json")
    if not os.path.exists(path):
        sys.exit("missing %s: is %s the unpacked @pinyin-pro/data package?" % (path, args.package))
    with open(path, encoding="utf-8") as f:
        source = json.load(f)

    phrases = {}
    for word, value in source.items():
        chars = list(word)
        syl = value[0].split(" ")
        if len(chars) < 2 or len(syl) != len(chars):
            continue
        phrases[word] = [norm(c, s) for c, s in zip(chars, syl)]

    keep = {w for w, syl in phrases.items() if any(first.get(c) != s for c, s in zip(w, syl))}
    longer = set()
    for w in phrases:
        if w in keep or len(w) < 3:
            continue
        if any(w[i:j] in keep for i in range(len(w)) for j in range(i + 2, len(w) + 1) if j - i < len(w)):
            longer.add(w)
    keep |= longer

    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        for w in sorted(keep):
            f.write("%s\t%s\n" % (w, " ".join(phrases[w])))
    print("%s: %d phrases (%d containing a shorter one) of %d in the source" %
          (args.output, len(keep), len(longer), len(phrases)))


if __name__ == "__main__":
    main()
