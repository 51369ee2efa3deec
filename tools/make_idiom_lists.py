#!/usr/bin/env python3
"""Builds the four level files of four-kanji idioms from EDICT and KANJIDIC,
and the file of their readings and meanings.

Each EDICT headword marked "(yoji)" that is exactly four kanji long goes to
the level of its hardest kanji, by the school grades that KANJIDIC records:

    初級.txt  every kanji taught in primary school (grades 1 to 6)
    一般.txt  needs a kanji from the rest of the jōyō list
    特殊.txt  needs a name-only (jinmeiyō) kanji
    其他.txt  needs a kanji outside all of these lists

Headwords that EDICT marks "(iK)" (irregular kanji: common misspellings such
as 絶対絶命 for 絶体絶命) are left out, and so are the misspellings it leaves
unmarked that misspelled_idioms.txt beside this script names.

Common entries (marked "(P)" in EDICT) come first in each file, the rest
follow in dictionary order. The game reads the files as Shift-JIS text, one
idiom per line with CR LF, and rejects a file under 200 bytes or with
room for fewer than 20 or more than 32767 lines (room = size in bytes \\ 10).

Beside the lists it writes 読みと意味.txt: UTF-8, one line per idiom of the
lists, three fields split by a tab: the idiom, its kana readings (joined by
"、", regular readings before irregular ones) and its English meaning (the
EDICT glosses joined by "; ", tags such as (n), (yoji) or {Buddh} dropped,
senses numbered "(1) ... (2) ..." where there are several). Lines starting
with "#" are comments.

The data is the property of the Electronic Dictionary Research and
Development Group; see data/LICENSE-EDRDG.txt.
"""

import argparse
import os
import re
import sys

LEVEL_FILES = ("初級.txt", "一般.txt", "特殊.txt", "其他.txt")
DICTIONARY_FILE = "読みと意味.txt"
DICTIONARY_HEADER = (
    "# 四字熟語の読みと意味: idiom<TAB>readings<TAB>meaning, UTF-8\n"
    "# From EDICT, (C) EDRDG, CC BY-SA 4.0; see LICENSE-EDRDG.txt\n")
READING_SEPARATOR = "、"

# EDICT's part-of-speech, usage, field, dialect and kana/kanji notes, written
# "(n)" or "{Buddh}" in front of a gloss; dropped from the meanings.
EDICT_TAGS = frozenset("""
    adj-f adj-i adj-ix adj-kari adj-ku adj-na adj-nari adj-no adj-pn
    adj-shiku adj-t adv adv-to aux aux-adj aux-v conj cop cop-da ctr exp int
    n n-adv n-pr n-pref n-suf n-t num pn pref prt suf unc v-unspec v1 v1-s
    v2a-s v4h v4r v5 v5aru v5b v5g v5k v5k-s v5m v5n v5r v5r-i v5s v5t v5u
    v5u-s v5uru vi vk vn vr vs vs-c vs-i vs-s vt vz
    abbr arch char chn col company creat dated derog doc ek euph fam fem fict
    form given group hist hon hum id joc leg m-sl male myth net-sl obj obs
    obsc on-mim organization oth person place poet pol product proverb quote
    rare sens serv ship sl station surname uk unclass vulg work X yoji P
    agric anat archeol archit art astron audvid aviat baseb biochem biol bot
    Buddh bus cards chem Christn cloth comp cryst dent ecol econ elec electr
    embryo engr ent film finc fish food gardn genet geogr geol geom go golf
    gramm grmyth hanaf horse kabuki law ling logic MA manga mahj math mech
    med met mil mining music noh ornith paleo pathol pharm phil photo physics
    physiol politics print psy psyanal psych rail rommyth shinto shogi ski
    sports stat stockm sumo telec tradem tv vidg zool
    ateji ik iK io oK ok ug gikun rK sK sk
    hob ksb ktb kyb kyu nab osb rkb thb tsb tsug
""".split())
# Notes that mark the kana reading of a line as irregular or out of date.
IRREGULAR_READING_TAGS = frozenset(("ik", "ok"))
# The note that marks a headword's kanji as irregular: a misspelling.
IRREGULAR_KANJI = re.compile(r"\((?:[^()/]*,)?iK(?:,[^()/]*)?\)")
EXCLUSIONS_FILE = "misspelled_idioms.txt"
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


def is_irregular_kanji(line):
    """True for an EDICT line whose headword EDICT marks "(iK)"."""
    return IRREGULAR_KANJI.search(line.partition(" ")[2]) is not None


def read_exclusions(path):
    """The misspellings named in the exclusion file: {misspelling: right
    spelling}. Each line holds the misspelling, the right spelling and why,
    split by tabs; lines starting with "#" and blank lines are skipped."""
    exclusions = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3 or not all(f.strip() for f in fields) \
                    or not is_four_kanji(fields[0]) \
                    or not is_four_kanji(fields[1]) or fields[0] == fields[1]:
                raise SystemExit(f"{path}:{number}: want misspelling, right "
                                 "spelling and why, split by tabs")
            if fields[0] in exclusions or fields[0] in exclusions.values() \
                    or fields[1] in exclusions:
                raise SystemExit(f"{path}:{number}: {fields[0]} or "
                                 f"{fields[1]} already named")
            exclusions[fields[0]] = fields[1]
    return exclusions


def is_tag_group(inner):
    """True for the inside of "(...)" or "{...}" made only of EDICT notes,
    such as "n,vs" or "Buddh"; dialect notes end in a colon ("ksb:")."""
    parts = [p.strip() for p in inner.split(",")]
    return all(p in EDICT_TAGS or (p.endswith(":") and p[:-1].isalpha())
               for p in parts)


def parse_senses(glosses):
    """Splits the gloss part of an EDICT line ("/(n) (1) a/b/(2) c/") into
    senses, each a list of glosses without their notes. Also returns whether
    the line's reading is marked irregular."""
    senses = []
    irregular = False
    for gloss in glosses.strip().strip("/").split("/"):
        gloss = gloss.strip()
        if not gloss or gloss.startswith("EntL"):
            continue
        numbered = False
        while gloss[:1] in ("(", "{"):
            close = gloss.find(")" if gloss[0] == "(" else "}")
            if close < 0:
                break
            inner = gloss[1:close]
            if inner.isdigit():
                numbered = True
            elif is_tag_group(inner):
                irregular |= inner in IRREGULAR_READING_TAGS
            else:
                break
            gloss = gloss[close + 1:].lstrip()
        if numbered or not senses:
            senses.append([])
        if gloss:
            senses[-1].append(gloss)
    return [s for s in senses if s], irregular


def format_meaning(senses):
    """Glosses joined by "; ", senses numbered when there are several."""
    if len(senses) == 1:
        return "; ".join(senses[0])
    return " ".join(f"({n}) " + "; ".join(s) for n, s in enumerate(senses, 1))


def collect_entries(edict_lines, idioms):
    """Returns {idiom: (readings, meaning)} for the idioms, from their EDICT
    lines marked "(yoji)" (one line per reading)."""
    found = {}
    for line in edict_lines:
        parsed = parse_edict_line(line)
        if parsed is None or not parsed[1] or parsed[0] not in idioms:
            continue
        rest = line.partition(" ")[2]
        if not rest.startswith("["):
            continue
        reading, _, glosses = rest[1:].partition("]")
        senses, irregular = parse_senses(glosses)
        if not senses:
            continue
        found.setdefault(parsed[0], []).append(
            (irregular, reading.strip(), format_meaning(senses)))
    entries = {}
    for word, lines in found.items():
        # sorted() is stable: regular readings first, each in dictionary order.
        lines = sorted(lines, key=lambda entry: entry[0])
        readings, meanings = [], []
        for _, reading, meaning in lines:
            if reading not in readings:
                readings.append(reading)
            if meaning not in meanings:
                meanings.append(meaning)
        entries[word] = (readings, " / ".join(meanings))
    return entries


def encode_dictionary(lists, entries):
    """The dictionary file: one line per idiom of the lists, in list order."""
    lines = [DICTIONARY_HEADER]
    for words in lists:
        for word in words:
            readings, meaning = entries[word]
            meaning = " ".join(meaning.split())
            lines.append(f"{word}\t{READING_SEPARATOR.join(readings)}\t{meaning}\n")
    return "".join(lines).encode("utf-8")


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


def collect_idioms(edict_lines, kanji_levels, excluded=frozenset()):
    """Returns four lists of idioms, one per level, common ones first. A
    headword that any of its lines marks "(iK)", or that is in `excluded`,
    is left out."""
    order = []       # headwords in dictionary order, first occurrence
    common = set()
    seen = set()
    misspelled = set(excluded)
    for line in edict_lines:
        parsed = parse_edict_line(line)
        if parsed is None:
            continue
        word, is_idiom, is_common = parsed
        if is_irregular_kanji(line):
            misspelled.add(word)
        if not is_idiom or not is_four_kanji(word) or not encodes_cleanly(word):
            continue
        if word not in seen:
            seen.add(word)
            order.append(word)
        if is_common:
            common.add(word)
    levels = [[], [], [], []]
    for word in order:
        if word not in misspelled:
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
    parser.add_argument("--exclusions",
                        default=os.path.join(here, EXCLUSIONS_FILE))
    parser.add_argument("--out-dir", default=os.path.join(here, "..", "data"))
    args = parser.parse_args(argv)

    kanji_levels = read_kanji_levels(args.kanjidic)
    excluded = read_exclusions(args.exclusions)
    with open(args.edict, encoding="euc_jp", errors="replace") as f:
        edict_lines = f.readlines()
    lists = collect_idioms(edict_lines, kanji_levels, frozenset(excluded))
    entries = collect_entries(edict_lines, {w for words in lists for w in words})

    outputs = []
    for name, words in zip(LEVEL_FILES, lists):
        data = encode_list(words)
        check_fits(name, words, data)
        outputs.append((name, words, data))
    missing = [w for words in lists for w in words if w not in entries]
    if missing:
        raise SystemExit(f"no reading or meaning for {len(missing)} idioms: "
                         + " ".join(missing[:10]))
    outputs.append((DICTIONARY_FILE, list(entries),
                    encode_dictionary(lists, entries)))
    for name, words, data in outputs:
        with open(os.path.join(args.out_dir, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(words)} idioms, {len(data)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main())
