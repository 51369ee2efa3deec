// The notebook in memory: entries joined with the dictionary, sorted and searched.
#include "records/notebook.h"

#include "idioms/levels.h"

#include <QStringList>
#include <algorithm>

namespace horokata {

namespace {

constexpr char16_t kKatakanaFirst = u'ァ';
constexpr char16_t kKatakanaLast = u'ヶ';
constexpr char16_t kKanaShift = u'ァ' - u'ぁ';
constexpr char16_t kLongVowel = u'ー';

char16_t toHiragana(char16_t c)
{
    return c >= kKatakanaFirst && c <= kKatakanaLast ? char16_t(c - kKanaShift) : c;
}

// The large kana of a small one (ぁ→あ, っ→つ, ゃ→や, ゎ→わ, ゕ→か, ゖ→け), else the kana itself.
char16_t toLargeKana(char16_t c)
{
    switch (c) {
    case u'ぁ': case u'ぃ': case u'ぅ': case u'ぇ': case u'ぉ':
    case u'っ': case u'ゃ': case u'ゅ': case u'ょ': case u'ゎ':
        return char16_t(c + 1);
    case u'ゕ':
        return u'か';
    case u'ゖ':
        return u'け';
    default:
        return c;
    }
}

QString firstReading(const QString &reading)
{
    const qsizetype comma = reading.indexOf(u'、');
    return comma < 0 ? reading : reading.left(comma);
}

} // namespace

QString gojuonKey(const QString &reading)
{
    QString hiragana;
    hiragana.reserve(reading.size());
    for (QChar c : reading)
        hiragana += QChar(toHiragana(c.unicode()));
    // Decomposed, a voiced kana is its plain kana followed by a combining mark, dropped here.
    QString folded;
    for (QChar c : hiragana.normalized(QString::NormalizationForm_D)) {
        const char16_t u = c.unicode();
        if (u == 0x3099 || u == 0x309A || u == kLongVowel)
            continue;
        folded += QChar(toLargeKana(u));
    }
    return folded + QChar(u'\x01') + hiragana;
}

QString NotebookEntry::levelNames() const
{
    QStringList names;
    for (int level = 0; level < kLevelCount; ++level)
        if (record.levels & (1 << level))
            names << levelFileName(level);
    return names.join(u'、');
}

Notebook::Notebook(std::vector<NotebookRecord> records, const IdiomDictionary &dictionary)
{
    entries_.reserve(records.size());
    keys_.reserve(records.size());
    for (NotebookRecord &r : records) {
        NotebookEntry e;
        e.record = std::move(r);
        const auto it = dictionary.constFind(e.record.idiom);
        if (it != dictionary.constEnd()) {
            e.reading = it->reading;
            e.meaning = it->meaning;
        }
        Keys k;
        // An idiom without a reading sorts after every reading.
        k.sortKey = e.reading.isEmpty() ? QString(QChar(0xFFFF)) + e.record.idiom : gojuonKey(firstReading(e.reading));
        k.searchKey = searchFold(e.record.idiom + u'\n' + e.reading + u'\n' + e.meaning);
        k.romaji = romajiKey(e.reading);
        entries_.push_back(std::move(e));
        keys_.push_back(std::move(k));
    }
    byReading_.resize(entries_.size());
    for (std::size_t i = 0; i < byReading_.size(); ++i)
        byReading_[i] = int(i);
    std::stable_sort(byReading_.begin(), byReading_.end(), [this](int a, int b) {
        const int c = keys_[std::size_t(a)].sortKey.compare(keys_[std::size_t(b)].sortKey);
        return c != 0 ? c < 0 : entries_[std::size_t(a)].record.idiom < entries_[std::size_t(b)].record.idiom;
    });
    readingRank_.resize(entries_.size());
    for (std::size_t rank = 0; rank < byReading_.size(); ++rank)
        readingRank_[std::size_t(byReading_[rank])] = int(rank);
}

bool Notebook::matches(const Keys &keys, const QString &needle, const QString &romaji) const
{
    return needle.isEmpty() || keys.searchKey.contains(needle) || (!romaji.isEmpty() && keys.romaji.contains(romaji));
}

std::vector<int> Notebook::query(const NotebookQuery &q) const
{
    const QString needle = searchFold(q.search.trimmed());
    // Romaji is tried where the query holds latin letters: a kana query matches kana as typed.
    const bool latin = std::any_of(needle.begin(), needle.end(), [](QChar c) { return c >= u'a' && c <= u'z'; });
    const QString romaji = latin ? romajiQuery(needle) : QString();
    const int levelBit = q.level >= 0 && q.level < kLevelCount ? 1 << q.level : 0;
    std::vector<int> out;
    out.reserve(entries_.size());
    // Reading order is the base order; the other orders sort it stably.
    for (int i : byReading_) {
        if (levelBit && !(entries_[std::size_t(i)].record.levels & levelBit))
            continue;
        if (!matches(keys_[std::size_t(i)], needle, romaji))
            continue;
        out.push_back(i);
    }
    const auto rec = [this](int i) -> const NotebookRecord & { return entries_[std::size_t(i)].record; };
    switch (q.sort) {
    case NotebookSort::Reading:
        break;
    case NotebookSort::Newest:
        std::stable_sort(out.begin(), out.end(), [&](int a, int b) { return rec(a).lastMetMs > rec(b).lastMetMs; });
        break;
    case NotebookSort::MostMissed:
        std::stable_sort(out.begin(), out.end(), [&](int a, int b) {
            return rec(a).missed != rec(b).missed ? rec(a).missed > rec(b).missed : rec(a).found < rec(b).found;
        });
        break;
    }
    return out;
}

std::vector<NotebookEntry> Notebook::select(const NotebookQuery &q) const
{
    std::vector<NotebookEntry> out;
    for (int i : query(q))
        out.push_back(entries_[std::size_t(i)]);
    return out;
}

int Notebook::indexOf(const QString &idiom) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].record.idiom == idiom)
            return int(i);
    return -1;
}

} // namespace horokata
