// Readings and meanings of the idioms: a UTF-8 file beside the lists, read on first use.
#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <cstdint>
#include <optional>
#include <utility>

namespace horokata {

// In the program folder, beside the idiom lists.
constexpr const char *kDictionaryFileName = "読みと意味.txt";
// The shipped file is about 300 KB; nothing past this many bytes is read.
constexpr std::int64_t kMaxDictionaryBytes = 2 * 1024 * 1024;
// A longer line is not an entry (a card is a tooltip, not a page).
constexpr qsizetype kMaxDictionaryLineBytes = 4096;

struct IdiomEntry {
    QString reading; // kana, several readings joined by "、"
    QString meaning;
};

using IdiomDictionary = QHash<QString, IdiomEntry>;

// One entry per line: idiom, reading and meaning split by tabs; LF or CR LF line ends,
// lines starting with "#" and blank lines ignored. A line that is not valid UTF-8, does not
// have exactly three fields, has an idiom that is not four characters, an empty field or
// a control character, or is longer than kMaxDictionaryLineBytes, is skipped; so is every
// later line of an idiom already read. The sound lines are kept whatever the others hold.
IdiomDictionary parseIdiomDictionary(QByteArrayView bytes);

// Reads at most kMaxDictionaryBytes of the file (a line cut off by that limit is dropped)
// and parses it. A missing or unreadable file, or anything but a regular file, gives an empty
// dictionary.
IdiomDictionary readIdiomDictionary(const QString &path);

// The idiom shown on a side-panel line ("03：一石二鳥" → "一石二鳥"); "" for a bare number.
QString idiomOnLine(const QString &lineCaption);

// The cards of the side-panel lines: the idiom, its reading and its meaning on three
// lines. The file is read when the first card is asked for, never before, so that it
// costs the start-up nothing.
class IdiomCards {
public:
    explicit IdiomCards(QString path) : path_(std::move(path)) {}

    // The card of the idiom on a line with this caption, or "" when the line shows no
    // idiom or the idiom has no entry.
    QString cardForLine(const QString &lineCaption);
    // The reading of an idiom, or "" when it has no entry.
    QString readingOf(const QString &idiom);
    bool loaded() const { return dictionary_.has_value(); }

private:
    QString path_;
    std::optional<IdiomDictionary> dictionary_;
};

} // namespace horokata
