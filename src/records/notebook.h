// The idiom notebook: every idiom the player met, with its reading and meaning from the
// cards' dictionary, sorted, filtered by level and searched in memory.
#pragma once

#include "idioms/idiom_dictionary.h"
#include "records/records_store.h"
#include "study/kana_search.h"

#include <QString>
#include <vector>

namespace horokata {

enum class NotebookSort {
    Newest,     // last met first
    Reading,    // gojūon order of the kana reading
    MostMissed, // most missed first
};

// One idiom of the notebook with its card's words.
struct NotebookEntry {
    NotebookRecord record;
    QString reading; // kana, several readings joined by "、"; "" when the dictionary has none
    QString meaning;
    // Level names joined by "、" ("初級", "初級、一般").
    QString levelNames() const;
};

// What the list shows.
struct NotebookQuery {
    NotebookSort sort = NotebookSort::Newest;
    int level = -1; // only idioms met on this level, -1 all
    // Matches the idiom, the reading or the meaning. Hiragana, katakana and half-width kana
    // match each other, letters match whatever their case; romaji matches the reading in any
    // usual spelling, a half-typed syllable as its start; surrounding blanks are ignored;
    // "" matches all.
    QString search;
};

// The notebook held in memory, built once when the window opens; queries sort and filter
// without touching the file again.
class Notebook {
public:
    Notebook() = default;
    Notebook(std::vector<NotebookRecord> records, const IdiomDictionary &dictionary);

    const std::vector<NotebookEntry> &entries() const { return entries_; }
    // Indices into entries(), in the query's order.
    std::vector<int> query(const NotebookQuery &q) const;
    // The entries a query shows, copied (for the export).
    std::vector<NotebookEntry> select(const NotebookQuery &q) const;
    // The index of an idiom, or -1 when not met.
    int indexOf(const QString &idiom) const;
    // An entry's place in gojūon order of its reading.
    int readingRank(int entry) const { return readingRank_[std::size_t(entry)]; }

private:
    struct Keys {
        QString sortKey;   // folded first reading, then the reading itself
        QString searchKey; // idiom, readings and meaning, folded for matching
        QString romaji;    // the readings in canonical romaji
    };
    bool matches(const Keys &keys, const QString &needle, const QString &romaji) const;
    std::vector<NotebookEntry> entries_;
    std::vector<Keys> keys_;
    std::vector<int> byReading_;   // indices sorted once by reading
    std::vector<int> readingRank_; // entry → its place in byReading_
};

// The reading folded for gojūon order: katakana to hiragana, voiced and semi-voiced kana to
// their plain kana and small kana to large, long vowel marks dropped; ties are broken by the
// unfolded reading, so かい < がい < かく.
QString gojuonKey(const QString &reading);

} // namespace horokata
