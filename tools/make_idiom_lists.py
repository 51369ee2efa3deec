#!/usr/bin/env python3
"""Builds the four level files of four-kanji idioms from EDICT and KANJIDIC.

Each EDICT headword marked "(yoji)" that is exactly four kanji long goes to
the level of its hardest kanji, by the school grades that KANJIDIC records:

    初級.txt  every kanji taught in primary school (grades 1 to 6)
    一般.txt  needs a kanji from the rest of the jōyō list
    特殊.txt  needs a name-only (jinmeiyō) kanji
    其他.txt  needs a kanji outside all of these lists

Common entries (marked "(P)" in EDICT) come first in each file, the rest
follow in dictionary order. The game reads the files as Shift-JIS text, one
idiom per line with CR LF, and rejects a file under 200 bytes or with
room for fewer than 20 or more than 32767 lines (room = size in bytes \\ 10).

The data is the property of the Electronic Dictionary Research and
Development Group; see data/LICENSE-EDRDG.txt.
"""

import argparse
import os
import sys

LEVEL_FILES = ("初級.txt", "一般.txt", "特殊.txt", "其他.txt")
ITERATION_MARK = "々"
ENCODING = "cp932"
LINE_END = b"\r\n"
MIN_BYTES = 200
MIN_CAPACITY = 20
MAX_CAPACITY = 32767
MIN_IDIOMS = 20


def is_kanji(ch):
    cp = ord(ch)
    return (0x4E00 <= cp <= 0x9FFF      # CJK unified ideographs
            or 0x3400 <= cp <= 0x4DBF   # extension A
            or 0xF900 <= cp <= 0xFAFF)  # compatibility ideographs


def read_kanji_levels(path):
    """Maps each kanji in KANJIDIC to level 0 (grades 1-6), 1 (other jōyō)
    or 2 (jinmeiyō). Kanji without a grade are absent: they mean level 3."""
    levels = {}
    with open(path, encoding="euc_jp", errors="replace") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.split()
            if not fields:
                continue
            for field in fields[1:]:
                if field[0] == "G" and field[1:].isdigit():
                    grade = int(field[1:])
                    if 1 <= grade <= 6:
                        levels[fields[0]] = 0
                    elif grade == 8:
                        levels[fields[0]] = 1
                    elif grade in (9, 10):
                        levels[fields[0]] = 2
                    break
    return levels


def parse_edict_line(line):
    """Returns (headword, is_idiom, is_common) for one EDICT line, or None."""
    if not line.strip() or line.startswith("　？？？"):
        return None
    head, sep, rest = line.partition(" ")
    if not sep:
        return None
    # Older files mark a common headword right on it, e.g. 一石二鳥(P).
    marked = head.endswith("(P)")
    if marked:
        head = head[:-3]
    senses = rest.split("/")
    is_idiom = "(yoji)" in rest
    is_common = marked or "(P)" in senses
    return head, is_idiom, is_common


def is_four_kanji(word):
    if len(word) != 4:
        return False
    if not is_kanji(word[0]):
        return False
    return all(is_kanji(ch) or ch == ITERATION_MARK for ch in word[1:])


def encodes_cleanly(word):
    try:
        data = word.encode(ENCODING)
    except UnicodeEncodeError:
        return False
    return len(data) == 8 and data.decode(ENCODING) == word


def idiom_level(word, kanji_levels):
    return max(kanji_levels.get(ch, 3) for ch in word if ch != ITERATION_MARK)


def collect_idioms(edict_lines, kanji_levels):
    """Returns four lists of idioms, one per level, common ones first."""
    order = []       # headwords in dictionary order, first occurrence
    common = set()
    seen = set()
    for line in edict_lines:
        parsed = parse_edict_line(line)
        if parsed is None:
            continue
        word, is_idiom, is_common = parsed
        if not is_idiom or not is_four_kanji(word) or not encodes_cleanly(word):
            continue
        if word not in seen:
            seen.add(word)
            order.append(word)
        if is_common:
            common.add(word)
    levels = [[], [], [], []]
    for word in order:
        levels[idiom_level(word, kanji_levels)].append(word)
    # sorted() is stable, so dictionary order holds within each group.
    return [sorted(words, key=lambda w: w not in common) for words in levels]


def encode_list(words):
    return b"".join(w.encode(ENCODING) + LINE_END for w in words)


def check_fits(name, words, data):
    size = len(data)
    capacity = size // 10
    if len(words) < MIN_IDIOMS or size < MIN_BYTES \
            or not MIN_CAPACITY <= capacity <= MAX_CAPACITY:
        raise SystemExit(f"{name}: {len(words)} idioms, {size} bytes: "
                         "outside what the game accepts")


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--edict", default="/usr/share/edict/edict")
    parser.add_argument("--kanjidic", default="/usr/share/edict/kanjidic")
    parser.add_argument("--out-dir", default=os.path.join(here, "..", "data"))
    args = parser.parse_args(argv)

    kanji_levels = read_kanji_levels(args.kanjidic)
    with open(args.edict, encoding="euc_jp", errors="replace") as f:
        lists = collect_idioms(f, kanji_levels)

    outputs = []
    for name, words in zip(LEVEL_FILES, lists):
        data = encode_list(words)
        check_fits(name, words, data)
        outputs.append((name, words, data))
    for name, words, data in outputs:
        with open(os.path.join(args.out_dir, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(words)} idioms, {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
