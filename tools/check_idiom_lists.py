#!/usr/bin/env python3
"""Checks the level files in data/ against what the game will accept.

Each file must decode as Shift-JIS (cp932), hold one idiom of four kanji per
line ending in CR LF, repeat no idiom (in itself or another file), be at
least 200 bytes with room (size \\ 10) for 20 to 32767 lines, and hold at
least 20 idioms, and hold none of the misspellings misspelled_idioms.txt
names. With KANJIDIC at hand it also checks that every idiom sits at the
level of its hardest kanji, and with EDICT at hand that no idiom is a
headword EDICT marks "(iK)". The dictionary file must be UTF-8 with one
well-formed line (idiom, kana readings, meaning) for every idiom of the lists
and for no other. Exits non-zero and lists what is wrong.
"""

import argparse
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_idiom_lists as lists  # noqa: E402


def check_file(path, expected_level, kanji_levels, seen, misspelled):
    name = os.path.basename(path)
    problems = []
    with open(path, "rb") as f:
        data = f.read()
    size = len(data)
    if size < lists.MIN_BYTES:
        problems.append(f"{size} bytes, under {lists.MIN_BYTES}")
    if not lists.MIN_CAPACITY <= size // 10 <= lists.MAX_CAPACITY:
        problems.append(f"room for {size // 10} lines")
    if not data.endswith(lists.LINE_END):
        problems.append("last line has no CR LF")
    try:
        text = data.decode(lists.ENCODING)
    except UnicodeDecodeError as e:
        return [f"{name}: not Shift-JIS: {e}"]
    lines = text.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    for number, line in enumerate(lines, 1):
        where = f"line {number} {line!r}"
        if "\r" in line or "\n" in line:
            problems.append(f"{where}: stray CR or LF")
        elif not lists.is_four_kanji(line):
            problems.append(f"{where}: not four kanji")
        elif line in seen:
            problems.append(f"{where}: already in {seen[line]}")
        elif line in misspelled:
            problems.append(f"{where}: misspelling of {misspelled[line]}")
        elif kanji_levels is not None \
                and lists.idiom_level(line, kanji_levels) != expected_level:
            problems.append(f"{where}: belongs to level "
                            f"{lists.idiom_level(line, kanji_levels)}")
        seen.setdefault(line, name)
    if len(lines) < lists.MIN_IDIOMS:
        problems.append(f"only {len(lines)} idioms")
    return [f"{name}: {p}" for p in problems]


KANA_READINGS = re.compile(r"[\u3041-\u309f\u30a0-\u30ff]+(?:、[\u3041-\u309f\u30a0-\u30ff]+)*")


def check_dictionary(path, idioms):
    """Problems of the dictionary file, given the idioms of all four lists."""
    name = os.path.basename(path)
    with open(path, "rb") as f:
        data = f.read()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as e:
        return [f"{name}: not UTF-8: {e}"]
    problems = []
    if not text.endswith("\n") or "\r" in text:
        problems.append("lines must end in LF alone")
    seen = set()
    for number, line in enumerate(text.split("\n"), 1):
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        where = f"line {number} {line[:20]!r}"
        if len(fields) != 3:
            problems.append(f"{where}: {len(fields)} fields, not 3")
            continue
        word, readings, meaning = fields
        if word in seen:
            problems.append(f"{where}: {word} twice")
        elif word not in idioms:
            problems.append(f"{where}: {word} is in no list")
        if not KANA_READINGS.fullmatch(readings):
            problems.append(f"{where}: readings not in kana")
        if not meaning.strip() or meaning != meaning.strip() \
                or re.search(r"\((?:n|yoji|P)\)|\{", meaning):
            problems.append(f"{where}: meaning empty or still tagged")
        seen.add(word)
    missing = [w for w in idioms if w not in seen]
    if missing:
        problems.append(f"no entry for {len(missing)} idioms: "
                        + " ".join(missing[:10]))
    return [f"{name}: {p}" for p in problems]


def self_test():
    """Runs the list builder on a made-up dictionary: levels, order of
    common entries, duplicates and rejected headwords."""
    kanji = {"一": 0, "石": 0, "二": 0, "鳥": 0, "人": 0, "十": 0, "色": 0,
             "疎": 1, "意": 0, "思": 0, "通": 0, "耶": 2, "有": 0, "無": 0}
    edict = [
        "　？？？ /EDICT header/\n",
        "十人十色 [じゅうにんといろ] /(exp) (yoji) ten men, ten colors/\n",
        "一石二鳥 [いっせきにちょう] /(exp) (yoji) two birds/(P)/\n",
        "人人人人 [ひと] /(n) not an idiom/\n",
        "一石二鳥 [いっせきにちょう] /(exp) (yoji) second reading/\n",
        "人々一色 [ひとびと] /(n) (yoji) made up/(P)/\n",
        "意思疎通 [いしそつう] /(n) (yoji) understanding/(P)/\n",
        "有耶無耶 [うやむや] /(adj-na) (yoji) vague/\n",
        "一二三四五 [いち] /(n) (yoji) five long/\n",
        "々石二鳥 [x] /(n) (yoji) leading mark/\n",
        "一石二𠀋 [x] /(n) (yoji) not in cp932/\n",
        "一石二ちょう [x] /(n) (yoji) kana/\n",
        "一(P) [x] /(n) (yoji) marked on the headword/\n",
        "鬱鬱鬱鬱(P) [x] /(n) (yoji) marked on the headword/\n",
    ]
    # Misspellings: marked (iK) on any of their lines, or named.
    edict += [
        "一石二長 [いっせきにちょう] /(n) (yoji) two birds/\n",
        "一石二長 [いっせきにちょう] /(iK) (n) (yoji) two birds/\n",
        "十人十職 [じゅうにんといろ] /(exp) (yoji) ten men, ten colors/\n",
    ]
    got = lists.collect_idioms(edict, kanji, frozenset({"十人十職"}))
    want = [["一石二鳥", "人々一色", "十人十色"], ["意思疎通"], ["有耶無耶"],
            ["鬱鬱鬱鬱"]]
    if got != want:
        print(f"self test: got {got}, want {want}")
        return 1
    if lists.encode_list(["一石二鳥"]) != "一石二鳥".encode("cp932") + b"\r\n":
        print("self test: bad line encoding")
        return 1

    # Readings and meanings: notes dropped, senses numbered, regular
    # readings first, lines not marked (yoji) left out.
    edict += [
        "一世一代 [いっせいいちだい] /(ik) (n,adj-no) (yoji) once in a lifetime/\n",
        "一世一代 [いっせいちだい] /(n,adj-no) (yoji) once in a lifetime/\n",
        "以心伝心 [いしんでんしん] /(n,adj-no) (1) (yoji) telepathy/tacit "
        "understanding/(n) (2) {Buddh} (yoji) (wordless) transmission/(P)/\n",
        "以心伝心 [イシンデンシン] /(n) (mahj) not an idiom line/\n",
    ]
    entries = lists.collect_entries(edict, {"一世一代", "以心伝心", "一石二鳥"})
    want_entries = {
        "一世一代": (["いっせいちだい", "いっせいいちだい"], "once in a lifetime"),
        "以心伝心": (["いしんでんしん"], "(1) telepathy; tacit understanding "
                 "(2) (wordless) transmission"),
        "一石二鳥": (["いっせきにちょう"], "two birds / second reading"),
    }
    if entries != want_entries:
        print(f"self test: got {entries}, want {want_entries}")
        return 1
    text = lists.encode_dictionary([["以心伝心"]], entries).decode("utf-8")
    if not text.endswith("\n以心伝心\tいしんでんしん\t(1) telepathy; tacit "
                         "understanding (2) (wordless) transmission\n"):
        print(f"self test: bad dictionary line in {text!r}")
        return 1
    return 0


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data-dir", default=os.path.join(here, "..", "data"))
    parser.add_argument("--kanjidic", default="/usr/share/edict/kanjidic")
    parser.add_argument("--edict", default="/usr/share/edict/edict")
    parser.add_argument("--exclusions",
                        default=os.path.join(here, lists.EXCLUSIONS_FILE))
    parser.add_argument("--self-test", action="store_true",
                        help="also test the list builder on made-up data")
    args = parser.parse_args(argv)

    if args.self_test and self_test():
        return 1
    kanji_levels = None
    if os.path.exists(args.kanjidic):
        kanji_levels = lists.read_kanji_levels(args.kanjidic)
    else:
        print(f"{args.kanjidic} not found: levels not checked")

    misspelled = lists.read_exclusions(args.exclusions)
    irregular = set()
    if os.path.exists(args.edict):
        with open(args.edict, encoding="euc_jp", errors="replace") as f:
            irregular = {line.partition(" ")[0].removesuffix("(P)") for line in f
                         if lists.is_irregular_kanji(line)}
    else:
        print(f"{args.edict} not found: (iK) marks not checked")

    seen = {}
    problems = []
    for level, name in enumerate(lists.LEVEL_FILES):
        path = os.path.join(args.data_dir, name)
        if not os.path.exists(path):
            problems.append(f"{name}: missing")
            continue
        problems += check_file(path, level, kanji_levels, seen, misspelled)
    problems += [f"{word}: marked (iK) in EDICT" for word in seen
                 if word in irregular]
    dictionary = os.path.join(args.data_dir, lists.DICTIONARY_FILE)
    if os.path.exists(dictionary):
        problems += check_dictionary(dictionary, seen)
    else:
        problems.append(f"{lists.DICTIONARY_FILE}: missing")
    for p in problems[:50]:
        print(p)
    if problems:
        print(f"{len(problems)} problems")
        return 1
    print(f"{len(seen)} idioms in {len(lists.LEVEL_FILES)} files, "
          "each with its reading and meaning: all good")
    return 0


if __name__ == "__main__":
    sys.exit(main())
