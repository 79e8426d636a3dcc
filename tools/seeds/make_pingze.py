#!/usr/bin/env python3
"""Build data/pingze.tsv, the level/oblique (平/仄) tone of each character, by
vote over the tone patterns that the chinese-poetry corpus gives for its Tang
and Song shi (dist/strains/json/*.json, matched by id to the poems in
dist/quantangshi/*.json).

Usage:
    python3 tools/seeds/make_pingze.py PACKAGE [-o OUTPUT] [--held-out SEEDS...]

PACKAGE is the unpacked chinese-poetry npm package (the folder holding dist/).
The poems and patterns are in traditional characters; both are converted to
simplified with OpenCC (`opencc -c t2s.json`, Debian package "opencc"), and a
line whose conversion changes its length is skipped, since its characters no
longer line up with the pattern.

Every character of every pattern line that marks it 平 or 仄 casts one vote.
A character whose majority is at least MAJORITY of its votes takes that tone;
one below it is written as either (中): such characters are read in both
tones in the classical system (看, 听, 思, 过 ...).

Each output line is  character TAB tone  with tone 平, 仄 or 中, sorted by code
point.  With --held-out the table is built leaving out the corpus poems whose
text is one of the poems of the given seed files (data/tang300.json), and the
script prints how many characters of those poems get the tone their own
pattern gives; nothing is written then unless -o is given.
"""

import argparse
import glob
import json
import os
import re
import subprocess
import sys
from collections import defaultdict

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data", "pingze.tsv"))
MAJORITY = 0.7
HAN = re.compile(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0003ffff]")


def opencc(lines):
    mark = "\ue000"
    payload = "\n".join(l.replace("\n", mark) for l in lines) + "\n"
    try:
        res = subprocess.run(["opencc", "-c", "t2s.json"], input=payload.encode("utf-8"),
                             stdout=subprocess.PIPE, check=True)
    except FileNotFoundError:
        sys.exit("opencc not found: install the Debian package 'opencc'")
    out = res.stdout.decode("utf-8").split("\n")
    return out[: len(lines)]


def load_corpus(pkg):
    """(poem id, [(text line, pattern line)]) for every poem with a pattern,
    text and pattern in simplified characters, punctuation included."""
    strains = {}
    for path in sorted(glob.glob(os.path.join(pkg, "dist", "strains", "json", "*.json"))):
        with open(path, encoding="utf-8") as f:
            for item in json.load(f):
                strains[item["id"]] = item["strains"]
    poems = []
    for path in sorted(glob.glob(os.path.join(pkg, "dist", "quantangshi", "poet.*.json"))):
        with open(path, encoding="utf-8") as f:
            for p in json.load(f):
                s = strains.get(p.get("id"))
                if s and len(s) == len(p["paragraphs"]):
                    poems.append((p["id"], p["paragraphs"], s))
    if not poems:
        sys.exit("no patterns found under %s/dist: is it the unpacked chinese-poetry package?" % pkg)
    flat = [line for _, paras, _ in poems for line in paras]
    conv = opencc(flat)
    out, k = [], 0
    for pid, paras, pattern in poems:
        lines = []
        for para, pat in zip(paras, pattern):
            simp = conv[k]
            k += 1
            if len(simp) == len(para):
                lines.append((simp, pat))
        out.append((pid, lines))
    return out


def pairs(text, pattern):
    """(character, 平/仄) for each Han character whose pattern mark is 平 or 仄.
    Text and pattern are read in step, Han characters against pattern marks,
    so punctuation in either does not shift them."""
    chars = HAN.findall(text)
    marks = [m for m in pattern if m in "平仄○"]
    if len(chars) != len(marks):
        return []
    return [(c, m) for c, m in zip(chars, marks) if m != "○"]


def han_key(text):
    return "".join(HAN.findall(text))


def build(corpus, skip=frozenset()):
    votes = defaultdict(lambda: [0, 0])
    for pid, lines in corpus:
        if pid in skip:
            continue
        for text, pat in lines:
            for c, m in pairs(text, pat):
                votes[c][0 if m == "平" else 1] += 1
    table = {}
    for c, (p, z) in votes.items():
        if p >= MAJORITY * (p + z):
            table[c] = "平"
        elif z >= MAJORITY * (p + z):
            table[c] = "仄"
        else:
            table[c] = "中"
    return table


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("package")
    ap.add_argument("-o", "--output")
    ap.add_argument("--held-out", nargs="+", metavar="SEEDS")
    args = ap.parse_args()

    corpus = load_corpus(args.package)
    skip = set()
    if args.held_out:
        keys = set()
        for path in args.held_out:
            with open(path, encoding="utf-8") as f:
                for p in json.load(f):
                    keys.add(han_key(p["content"]))
        skip = {pid for pid, lines in corpus if han_key("".join(t for t, _ in lines)) in keys}
        table = build(corpus, skip)
        total = agree = either = unknown = 0
        for pid, lines in corpus:
            if pid not in skip:
                continue
            for text, pat in lines:
                for c, m in pairs(text, pat):
                    total += 1
                    t = table.get(c)
                    if t == m:
                        agree += 1
                    elif t == "中":
                        either += 1
                    elif t is None:
                        unknown += 1
        print("held-out poems %d, characters %d: same tone %d (%.2f%%), marked either %d (%.2f%%), "
              "not in the table %d, other tone %d" %
              (len(skip), total, agree, 100.0 * agree / max(total, 1), either, 100.0 * either / max(total, 1),
               unknown, total - agree - either - unknown))
        if not args.output:
            return
    else:
        table = build(corpus)

    out = args.output or DEFAULT_OUT
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        for c in sorted(table):
            f.write("%s\t%s\n" % (c, table[c]))
    counts = defaultdict(int)
    for t in table.values():
        counts[t] += 1
    print("%s: %d characters (平 %d, 仄 %d, 中 %d) from %d poems" %
          (out, len(table), counts["平"], counts["仄"], counts["中"], len(corpus) - len(skip)))


if __name__ == "__main__":
    main()
