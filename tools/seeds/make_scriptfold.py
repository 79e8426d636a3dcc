#!/usr/bin/env python3
"""Build data/scriptfold.txt, the character table of the search's script folding.

Usage:
    python3 tools/seeds/make_scriptfold.py [-o OUTPUT]

Each output line is  FROM SPACE TO : the search treats FROM as TO on both
sides (the stored text and the typed term), so traditional and variant forms
meet their simplified form.  Sources, in this order (the first one to name a
character wins):

  1. a few common variants that OpenCC leaves apart (VARIANTS below);
  2. OpenCC t2s.json applied to every ideograph on its own (the `opencc`
     command, Debian package `opencc`): its character table, traditional to
     simplified, including the variants it folds (爲 → 为, 峯 → 峰).

The compatibility ideographs (U+F900 to U+FAFF, U+2F800 to U+2FA1F) and the
Kangxi radicals are left out: poems do not use them, and folding them would
give common characters such as 李 or 年 a variant, so that every search for
those characters would take the slower folded form.

Chains are followed to their end (A → B and B → C give A → C and B → C), so
every character folds in one step.  Pairs whose two characters lie in
different Unicode planes are dropped: folding then never changes a text's
length in UTF-16 units, and positions in the folded text are positions in the
stored text.  Lines are sorted by code point; the script is deterministic.
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data", "scriptfold.txt"))

# Ideograph blocks handed to OpenCC: Extension A, the unified block and
# Extensions B to F.
RANGES = [(0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0x20000, 0x2EBEF)]

# Variants common in classical texts that t2s.json keeps apart.
VARIANTS = {
    "靑": "青", "淸": "清", "兪": "俞", "姉": "姊", "栢": "柏", "衞": "卫",
    "鬭": "斗", "鬪": "斗", "盃": "杯", "菴": "庵", "徧": "遍", "搨": "拓",
}


def opencc_map(chars):
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "in.txt")
        dst = os.path.join(tmp, "out.txt")
        with open(src, "w", encoding="utf-8") as f:
            f.write("\n".join(chars) + "\n")
        subprocess.run(["opencc", "-c", "t2s.json", "-i", src, "-o", dst], check=True)
        with open(dst, encoding="utf-8") as f:
            out = f.read().split("\n")
    return {c: o for c, o in zip(chars, out) if len(o) == 1 and o != c}


def same_plane(a, b):
    return (ord(a) > 0xFFFF) == (ord(b) > 0xFFFF)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("-o", "--output", default=DEFAULT_OUT)
    args = ap.parse_args()

    chars = [chr(c) for a, b in RANGES for c in range(a, b + 1)]
    fold = dict(VARIANTS)
    for c, o in opencc_map(chars).items():
        fold.setdefault(c, o)

    def end_of_chain(c):
        seen = {c}
        while c in fold and fold[c] not in seen:
            c = fold[c]
            seen.add(c)
        return c

    table = {}
    for c in fold:
        t = end_of_chain(c)
        if t != c and same_plane(c, t):
            table[c] = t
    with open(args.output, "w", encoding="utf-8") as f:
        for c in sorted(table, key=ord):
            f.write(f"{c} {table[c]}\n")
    print(f"{args.output}: {len(table)} characters", file=sys.stderr)


if __name__ == "__main__":
    main()
