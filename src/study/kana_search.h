// Folding for the notebook's search: widths and kana folded, and readings compared in one
// canonical romaji whatever spelling the learner types.
#pragma once

#include <QString>

namespace horokata {

// Text folded for matching as typed: NFKC (half-width kana and full-width letters to their
// usual forms), katakana to hiragana, letters to lower case.
QString searchFold(const QString &text);

// A kana reading (or romaji) in canonical romaji: kunrei-style syllables (si, ti, tu, hu, zi,
// sya, tya, zya), a doubled consonant for っ, runs of n as one n, long vowels as one vowel
// (ou, oo, uu and ー all become o or u), no diacritics. Hepburn and keyboard spellings of one
// reading give the same key. Readings separated by "、" stay apart ("|").
QString romajiKey(const QString &text);

// What a typed query looks for in romaji keys: the key of its complete syllables followed by
// the start of a half-typed one ("ichij" → "itiz", found in "itizi" and "itizyo"). Empty when
// the query is not romaji or kana (kanji, digits, punctuation other than ' and -).
QString romajiQuery(const QString &typed);

} // namespace horokata
