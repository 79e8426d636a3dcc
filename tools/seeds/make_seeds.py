#!/usr/bin/env python3
"""Build the default database's seed files in data/ from the chinese-poetry
npm package (MIT licence; the poems themselves are public domain).

Fetch and unpack the package somewhere outside the repository first:

    cd /tmp && npm pack chinese-poetry && tar xzf chinese-poetry-*.tgz

which leaves the data in /tmp/package.  Then, from the repository root:

    python3 tools/seeds/make_seeds.py /tmp/package

Writes (into data/ unless -o says otherwise):

  tang300.json   唐诗三百首, from dist/mengxue/tangshisanbaishou.json, which
                 keeps the anthology's own grouping by form (五言绝句 ... 乐府).
  song300.json   宋词三百首, from dist/songci/宋词三百首.json.
  poets.json     every poet of the two collections with a short biography
                 taken from the package's author lists.
  dynasties.txt  the fixed list of dynasties, oldest first.

Text is converted to simplified characters with OpenCC (`opencc -c t2s.json`,
Debian package "opencc"), which must be on PATH.  The song lyrics are already
simplified in the source; they go through the same conversion so that the odd
traditional character left in them is caught too.

Each poem is an object with the string fields type, style, poet, dynasty,
title, pre, content, memo and the integer qty.  content holds one source
paragraph per line, lines joined with CR LF; memo lines are joined the same way.
No two poems share the same poet and title: a repeated pair with a different
text gets "（其二）", "（其三）" ... appended to its title; an exact repeat is
dropped.
"""

import argparse
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "data"))

CRLF = "\r\n"

DYNASTIES = ["先秦", "汉", "魏晋", "南北朝", "隋", "唐", "五代", "宋", "金", "元",
             "明", "清", "近现代"]

# The song anthology lost a rare character at the end of three poets' names.
# The poems identify them: 张镃 (宴山亭 "幽梦初回", 满庭芳 "月洗高梧"),
# 韩疁 (高阳台 "频听银签") and 赵令畤 (蝶恋花 "欲减罗衣寒未去").
SONG_POET_FIXES = {"张": "张镃", "韩": "韩疁", "赵令": "赵令畤"}

# The same loss turned 周邦彦's 大酺 ("对宿烟收，春禽静") into "大".
SONG_TUNE_FIXES = {"大": "大酺"}

# The ci authors' list has the same clipped names, with several people under
# "张" and "韩"; these are (listed name, words that start the right entry's
# biography once any "--" is dropped) for the three poets above.
SONG_BIO_HINTS = {
    "张镃": ("张", "(1153"),
    "韩疁": ("韩", "字子耕"),
    "赵令畤": ("赵令", "(1051"),
}

# Poets listed in the Tang authors' list under a variant writing of the name.
TANG_BIO_ALIASES = {"刘昚虚": "刘眘虚"}

# Stand-ins for an unknown author; the author lists give them entries such as
# "无传。", which is no biography.
ANONYMOUS = {"无名氏", "佚名"}

CN_DIGITS = "零一二三四五六七八九"


# ---------------------------------------------------------------- conversion

class Converter:
    """Traditional-to-simplified conversion through the opencc command.

    Strings are collected first and converted in one run of opencc, one string
    per input line, which is far quicker than a process per string.
    """

    def __init__(self, config="t2s.json"):
        self.config = config
        self.cache = {}

    def convert_all(self, texts):
        todo = sorted({t for t in texts if t and t not in self.cache})
        if not todo:
            return
        # opencc works line by line; carry embedded line breaks through as a
        # private-use character so each string stays on one input line.
        mark = "\ue000"
        payload = "\n".join(t.replace("\r\n", mark).replace("\n", mark) for t in todo) + "\n"
        try:
            res = subprocess.run(["opencc", "-c", self.config], input=payload.encode("utf-8"),
                                 stdout=subprocess.PIPE, check=True)
        except FileNotFoundError:
            sys.exit("opencc not found: install the Debian package 'opencc'")
        out = res.stdout.decode("utf-8").split("\n")
        if len(out) < len(todo):
            sys.exit("opencc returned %d lines for %d inputs" % (len(out), len(todo)))
        for src, dst in zip(todo, out):
            dst = dst.replace(mark, "\r\n" if "\r\n" in src else "\n")
            self.cache[src] = keep_bmp(src, dst)

    def __call__(self, text):
        if not text:
            return text
        if text not in self.cache:
            self.convert_all([text])
        return self.cache[text]


def keep_bmp(src, dst):
    """Undo conversions that land outside the Basic Multilingual Plane.

    For a few rare characters (摐, 鶗, 鏦, 餔 ...) OpenCC's simplified form is an
    Extension B/C ideograph that common fonts lack, so the reader would see an
    empty box.  The traditional form is kept there instead.  The conversion maps
    character for character, so positions line up whenever lengths match.
    """
    if len(src) != len(dst):
        return dst
    return "".join(s if ord(d) > 0xFFFF and ord(s) <= 0xFFFF else d for s, d in zip(src, dst))


# ---------------------------------------------------------------- helpers

def load_json(pkg, *parts):
    path = os.path.join(pkg, "dist", *parts)
    if not os.path.exists(path):
        sys.exit("missing %s: is %s the unpacked chinese-poetry package?" % (path, pkg))
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def cn_number(n):
    """1..99 as Chinese numerals, for "其二", "其十一" and so on."""
    if n < 10:
        return CN_DIGITS[n]
    tens, ones = divmod(n, 10)
    return ("" if tens == 1 else CN_DIGITS[tens]) + "十" + (CN_DIGITS[ones] if ones else "")


def normalize_title(s):
    # The sources mix U+30FB and U+00B7 as the separator in titles; use U+00B7.
    return s.replace("・", "·").strip()


ASCII_PUNCT = str.maketrans({",": "，", "?": "？", "!": "！", ":": "：", ";": "；"})

# A bracketed editor's note, which may run over a paragraph break in the Tang
# source, e.g. "(明年 一作：年年)" or "（名成 一作：名高）".
NOTE_RE = re.compile(r"[(（]([^()（）]*)[)）]")


def split_notes(paragraphs):
    """Return (lines, notes): the poem's lines with bracketed notes taken out.

    Only notes that record a variant reading ("一作") or an interchangeable
    character ("通") are kept; a few notes in the source are cut off and carry
    nothing useful.
    """
    text = "\n".join(paragraphs)
    notes = []

    def take(m):
        note = re.sub(r"\s+", " ", m.group(1)).strip().translate(ASCII_PUNCT)
        if "一作" in note or "通" in note:
            notes.append(note)
        return ""

    text = NOTE_RE.sub(take, text)
    lines = []
    for line in text.split("\n"):
        line = re.sub(r"\s+", "", line).translate(ASCII_PUNCT)
        if line:
            lines.append(line)
    return lines, notes


CJK_OR_PUNCT = r"[\u3000-\u303f\u3400-\u9fff\uff00-\uffef“”‘’]"


def tidy_bio(text):
    """Remove line-wrapping spaces left between Chinese characters."""
    text = text.replace("\u3000", " ").strip()
    text = re.sub(r"(?<=%s) +(?=%s)" % (CJK_OR_PUNCT, CJK_OR_PUNCT), "", text)
    return re.sub(r" {2,}", " ", text)


def tang_bio(desc):
    """First biography in a Tang authors' entry.

    Where the list merged several entries for one name they are separated by a
    run of spaces; often the same text repeated, sometimes another person, so
    only the first is kept.
    """
    first = re.split(r"[ \u3000]{2,}", desc.strip())[0]
    return tidy_bio(first)


def song_bio(name, desc, short):
    """Biography from a ci authors' entry.

    "description" is usually "NAME：bio--bio主要作品有：list of works", the two
    biographies coming from different reference books.  The one after "--"
    is written for ci poets and has fewer typing errors, so it is preferred;
    "short_description" is that one cut to length.  The list of works is left
    out, and so is any unfinished sentence at the end.
    """
    parts = (desc or "").split("--")
    candidates = parts[1:] + parts[:1] + [short or ""]
    for p in candidates:
        p = re.sub(r"^\s*%s\s*[:：]\s*" % re.escape(name), "", p)
        p = p.split("主要作品有", 1)[0].strip()
        if "。" in p:
            p = p[:p.rindex("。") + 1]
        if len(p) > 10:
            return tidy_bio(p)
    return ""


# ---------------------------------------------------------------- collections

def read_tang(pkg):
    src = load_json(pkg, "mengxue", "tangshisanbaishou.json")
    poems = []
    for group in src["content"]:
        form = group["type"]
        for p in group["content"]:
            lines, notes = split_notes(p["paragraphs"])
            title = normalize_title(p["chapter"])
            memo = []
            if p.get("subchapter"):
                others = [normalize_title(s) for s in p["subchapter"].split(" / ")]
                others = [s for s in others if s and s != title]
                if others:
                    memo.append("题一作" + "、".join("《%s》" % s for s in others))
            memo.extend(notes)
            poems.append({
                "type": "诗", "style": form, "poet": p["author"].strip(), "dynasty": "唐",
                "title": title, "pre": "", "content": CRLF.join(lines),
                "memo": CRLF.join(memo), "qty": 1,
            })
    return poems


def read_song(pkg):
    src = load_json(pkg, "songci", "宋词三百首.json")
    poems = []
    for p in src:
        # "木兰花・玉楼春": the poem is headed 木兰花, a name of the tune also
        # known as 玉楼春.  The heading is both the tune and the title; the other
        # name goes in the notes.
        names = [n.strip() for n in re.split("[・·]", p["rhythmic"]) if n.strip()]
        tune = SONG_TUNE_FIXES.get(names[0], names[0])
        memo = []
        for other in names[1:]:
            memo.append("自度曲" if other == "自度曲" else "调名一作《%s》" % other)
        lines = [re.sub(r"\s+", "", l).translate(ASCII_PUNCT) for l in p["paragraphs"]]
        poet = p["author"].strip()
        poems.append({
            "type": "词", "style": tune, "poet": SONG_POET_FIXES.get(poet, poet),
            "dynasty": "宋", "title": tune, "pre": "",
            "content": CRLF.join(l for l in lines if l), "memo": CRLF.join(memo), "qty": 1,
        })
    return poems


TEXT_FIELDS = ("style", "poet", "title", "pre", "content", "memo")


def simplify(poems, conv):
    conv.convert_all([p[k] for p in poems for k in TEXT_FIELDS])
    for p in poems:
        for k in TEXT_FIELDS:
            p[k] = conv(p[k])


VARIANT_RE = re.compile(r"([^\s；;：:]+)\s*(一作|通)\s*[：:]?\s*([^\s；;]+)")


def drop_empty_variants(memo):
    """Remove variant notes that read the same as the text once simplified.

    Notes like "(迴樂 一作：回樂)" record a difference that the conversion to
    simplified characters erases (and a few in the source lost a character on
    one side); "回乐 一作：回乐" only confuses the reader.
    """
    out = []
    for line in memo.split(CRLF) if memo else []:
        pairs = list(VARIANT_RE.finditer(line))
        if not pairs or line.startswith("题一作"):
            out.append(line)
            continue
        kept = [m for m in pairs if m.group(1).strip("“”") != m.group(3).strip("“”")]
        if len(kept) == len(pairs):
            out.append(line)
        elif kept:
            out.append("；".join("%s %s：%s" % (m.group(1), m.group(2), m.group(3).strip("“”"))
                                for m in kept))
    return CRLF.join(out)


def dedupe(poems):
    """Drop exact repeats; number further poems that share poet and title."""
    seen = {}      # (poet, title) -> list of contents
    out = []
    for p in poems:
        key = (p["poet"], p["title"])
        texts = seen.setdefault(key, [])
        if p["content"] in texts:
            continue
        texts.append(p["content"])
        if len(texts) > 1:
            p["title"] = "%s（其%s）" % (p["title"], cn_number(len(texts)))
        out.append(p)
    return out


# ---------------------------------------------------------------- poets

def build_poets(pkg, poets_in_order, tang_names, conv):
    tang_authors = load_json(pkg, "quantangshi", "authors.tang.json")
    ci_authors = load_json(pkg, "songci", "author.song.json")
    shi_authors = load_json(pkg, "quantangshi", "authors.song.json")

    conv.convert_all([a["name"] for a in tang_authors + shi_authors])

    def index(entries, bio_of):
        """simplified name -> first non-empty biography."""
        idx = {}
        for a in entries:
            name = conv(a["name"].strip())
            if name in idx:
                continue
            bio = bio_of(a)
            if bio:
                idx[name] = bio
        return idx

    tang_idx = index(tang_authors, lambda a: tang_bio(a.get("desc") or ""))
    ci_idx = index(ci_authors, lambda a: song_bio(a["name"], a.get("description"),
                                                  a.get("short_description")))
    shi_idx = index(shi_authors, lambda a: tidy_bio(a.get("desc") or ""))

    for fixed, (listed, start) in SONG_BIO_HINTS.items():
        for a in ci_authors:
            if a["name"] == listed and a.get("description", "").lstrip("-").startswith(start):
                ci_idx[fixed] = song_bio(listed, a["description"], a.get("short_description"))
                break

    briefs = []
    for name in poets_in_order:
        if name in ANONYMOUS:
            bio = ""
        elif name in tang_names:
            bio = tang_idx.get(name) or tang_idx.get(TANG_BIO_ALIASES.get(name, ""), "")
        else:
            # Ci poets' own list first; the list of Song shi poets covers a
            # few more.
            bio = ci_idx.get(name) or shi_idx.get(name, "")
        briefs.append(bio)

    conv.convert_all(briefs)
    return [{"poet": n, "brief": conv(b)} for n, b in zip(poets_in_order, briefs)]


# ---------------------------------------------------------------- main

def write_json(path, data):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        json.dump(data, f, ensure_ascii=False, indent=1)
        f.write("\n")


def main():
    ap = argparse.ArgumentParser(description="Build data/ seed files from chinese-poetry.")
    ap.add_argument("package", help="folder unpacked from chinese-poetry-*.tgz (contains dist/)")
    ap.add_argument("-o", "--output", default=DEFAULT_OUT, help="output folder (default: data/)")
    args = ap.parse_args()

    conv = Converter()
    tang = read_tang(args.package)
    song = read_song(args.package)
    simplify(tang, conv)
    simplify(song, conv)
    for p in tang:
        p["memo"] = drop_empty_variants(p["memo"])
    tang = dedupe(tang)
    song = dedupe(song)

    order = []
    for p in tang + song:
        if p["poet"] not in order:
            order.append(p["poet"])
    tang_names = {p["poet"] for p in tang}
    poets = build_poets(args.package, order, tang_names, conv)

    os.makedirs(args.output, exist_ok=True)
    write_json(os.path.join(args.output, "tang300.json"), tang)
    write_json(os.path.join(args.output, "song300.json"), song)
    write_json(os.path.join(args.output, "poets.json"), poets)
    with open(os.path.join(args.output, "dynasties.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(DYNASTIES) + "\n")

    with_bio = sum(1 for p in poets if p["brief"])
    print("tang300.json: %d poems" % len(tang))
    print("song300.json: %d poems" % len(song))
    print("poets.json: %d poets, %d with a biography" % (len(poets), with_bio))
    missing = [p["poet"] for p in poets if not p["brief"]]
    if missing:
        print("  no biography: " + "、".join(missing))


if __name__ == "__main__":
    main()
