// Kana and romaji folding for the notebook's search.
#include "study/kana_search.h"

#include <array>
#include <utility>

namespace horokata {

namespace {

constexpr char16_t kKatakanaFirst = u'ァ';
constexpr char16_t kKatakanaLast = u'ヶ';
constexpr char16_t kKanaShift = u'ァ' - u'ぁ';
constexpr char16_t kHiraganaFirst = u'ぁ';
constexpr char16_t kHiraganaLast = u'ゖ';
constexpr char16_t kLongVowel = u'ー';
constexpr char16_t kSmallTsu = u'っ';
constexpr char kReadingBreak = '|';

// Romaji of the hiragana ぁ (U+3041) to ゖ (U+3096), in order; small kana are marked "*".
constexpr std::array<const char *, 86> kKana = {
    "*a", "a",  "*i", "i",  "*u", "u",  "*e", "e",  "*o", "o",  "ka", "ga", "ki", "gi", "ku",
    "gu", "ke", "ge", "ko", "go", "sa", "za", "si", "zi", "su", "zu", "se", "ze", "so", "zo",
    "ta", "da", "ti", "zi", "*tu", "tu", "zu", "te", "de", "to", "do", "na", "ni", "nu", "ne",
    "no", "ha", "ba", "pa", "hi", "bi", "pi", "hu", "bu", "pu", "he", "be", "pe", "ho", "bo",
    "po", "ma", "mi", "mu", "me", "mo", "*ya", "ya", "*yu", "yu", "*yo", "yo", "ra", "ri", "ru",
    "re", "ro", "*wa", "wa", "i",  "e",  "o",  "n",  "vu", "*ka", "*ke",
};

bool isVowel(QChar c)
{
    return c == u'a' || c == u'i' || c == u'u' || c == u'e' || c == u'o';
}

// Typed spellings to canonical ones, longest first: Hepburn and other keyboard forms.
constexpr std::array<std::pair<const char *, const char *>, 16> kSpellings = {{
    {"n'", "n"}, {"n-", "n"}, {"cchi", "tti"}, {"cch", "tty"}, {"shi", "si"}, {"sh", "sy"}, {"chi", "ti"}, {"ch", "ty"}, {"tsu", "tu"},
    {"ts", "t"}, {"jy", "zy"}, {"ji", "zi"}, {"j", "zy"}, {"di", "zi"}, {"du", "zu"}, {"f", "h"},
}};

// Hepburn's m before b, p and m stands for ん.
constexpr std::array<std::pair<const char *, const char *>, 2> kSyllabicM = {{{"mb", "nb"}, {"mp", "np"}}};

// The start of a half-typed syllable as its canonical spelling starts.
constexpr std::array<std::pair<const char *, const char *>, 9> kTails = {{
    {"tc", "tt"},
    {"tch", "tt"}, {"sh", "s"}, {"ch", "t"}, {"ts", "t"}, {"jy", "zy"}, {"j", "z"}, {"f", "h"}, {"dz", "z"},
}};

// Hiragana to romaji; anything else but ASCII letters becomes a reading break.
QString romanize(const QString &hiragana)
{
    QString out;
    out.reserve(hiragana.size() * 2);
    bool doubleNext = false;
    for (QChar c : hiragana) {
        const char16_t u = c.unicode();
        if (u >= kHiraganaFirst && u <= kHiraganaLast && u != kSmallTsu) {
            QString syllable = QString::fromLatin1(kKana[std::size_t(u - kHiraganaFirst)]);
            if (syllable.startsWith(u'*')) {
                // A small kana: ゃゅょ after an i-kana make one syllable (きゃ kya), small
                // vowels replace the vowel before (ふぁ ha).
                syllable.remove(0, 1);
                if (!out.isEmpty() && isVowel(out.back()) && !isVowel(syllable.front()) && out.back() == u'i')
                    out.chop(1);
                else if (!out.isEmpty() && isVowel(out.back()) && isVowel(syllable.front()))
                    out.chop(1);
            }
            if (doubleNext && !isVowel(syllable.front()))
                out += syllable.front();
            doubleNext = false;
            out += syllable;
        } else if (u == kSmallTsu) {
            doubleNext = true;
        } else if (u == kLongVowel) {
            continue; // the vowel before, lengthened: folds to it
        } else if ((u >= u'a' && u <= u'z') || u == u'\'' || u == u'-') {
            out += c;
        } else if (!out.endsWith(QLatin1Char(kReadingBreak))) {
            out += QLatin1Char(kReadingBreak);
        }
    }
    return out;
}

template <std::size_t N>
QString respell(QString text, const std::array<std::pair<const char *, const char *>, N> &rules)
{
    for (const auto &[from, to] : rules)
        text.replace(QLatin1String(from), QLatin1String(to));
    return text;
}

// Runs of n as one n, runs of one vowel and "ou" as one vowel.
QString foldLengths(const QString &romaji)
{
    QString out;
    out.reserve(romaji.size());
    for (QChar c : romaji) {
        if (!out.isEmpty()) {
            const QChar last = out.back();
            if (c == u'n' && last == u'n')
                continue;
            if (isVowel(c) && (c == last || (last == u'o' && c == u'u')))
                continue;
        }
        out += c;
    }
    return out;
}

// Lower-case letters without their diacritics (ō → o), kana as hiragana.
QString plainLetters(const QString &text)
{
    QString out;
    for (QChar c : searchFold(text)) {
        // Latin letters only: a kana's voiced mark is part of the kana.
        if (c.unicode() >= 0xC0 && c.unicode() < 0x250)
            out += QString(c).normalized(QString::NormalizationForm_D).front();
        else
            out += c;
    }
    return out;
}

} // namespace

QString searchFold(const QString &text)
{
    QString out = text.normalized(QString::NormalizationForm_KC);
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= kKatakanaFirst && u <= kKatakanaLast)
            c = QChar(char16_t(u - kKanaShift));
    }
    return out.toLower();
}

QString romajiKey(const QString &text)
{
    return foldLengths(respell(respell(romanize(plainLetters(text)), kSpellings), kSyllabicM)).remove(u'\'').remove(u'-');
}

QString romajiQuery(const QString &typed)
{
    QString letters;
    for (QChar c : plainLetters(typed)) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\'' || u == u'-')
            continue;
        const bool kana = (u >= kHiraganaFirst && u <= kHiraganaLast) || u == kLongVowel;
        if (!kana && !(u >= u'a' && u <= u'z'))
            return QString();
        letters += c;
    }
    // The consonants after the last vowel start a syllable not yet typed whole.
    qsizetype complete = letters.size();
    while (complete > 0 && letters[complete - 1] >= u'a' && letters[complete - 1] <= u'z' && !isVowel(letters[complete - 1]))
        --complete;
    QString tail = letters.mid(complete);
    if (tail == QStringLiteral("n") || tail == QStringLiteral("nn"))
        complete = letters.size(), tail.clear(); // ん, whole already
    for (const auto &[from, to] : kTails) {
        if (tail.endsWith(QLatin1String(from))) {
            tail.chop(qsizetype(qstrlen(from)));
            tail += QLatin1String(to);
            break;
        }
    }
    return foldLengths(romajiKey(letters.left(complete)) + tail);
}

} // namespace horokata
