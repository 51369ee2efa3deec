// The search folding: widths and kana, and romaji in Hepburn and keyboard spellings meeting
// the reading, a half-typed syllable as a prefix.
#include "study/kana_search.h"

#include <gtest/gtest.h>

using namespace horokata;

static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

bool finds(const QString &typed, const QString &reading)
{
    const QString query = romajiQuery(typed);
    return !query.isEmpty() && romajiKey(reading).contains(query);
}

TEST(KanaSearchTest, FoldsWidthsAndKana)
{
    EXPECT_EQ(searchFold(QStringLiteral("ｲｯｾｷﾆﾁｮｳ")), QStringLiteral("いっせきにちょう"));
    EXPECT_EQ(searchFold(QStringLiteral("ｶﾞｲ")), QStringLiteral("がい")); // voiced mark joined
    EXPECT_EQ(searchFold(QStringLiteral("ＵＮａｎｉｍｏｕｓ　")), QStringLiteral("unanimous "));
}

TEST(KanaSearchTest, RomajiSpellingsMeetTheReading)
{
    const struct {
        const char *reading;
        std::initializer_list<const char *> typed;
    } cases[] = {
        {"いっせきにちょう", {"issekinichou", "issekinityou", "isseki nichō", "ISSEKINICHOO", "nicho"}},
        {"とうきょう", {"tokyo", "toukyou", "tookyoo", "tôkyô", "とーきょー"}},
        {"しんぶん", {"shimbun", "shinbun", "sinbun", "shinnbunn"}},
        {"ふつう", {"futsuu", "hutuu", "futsu"}},
        {"じゆう", {"jiyuu", "ziyu"}},
        {"まっちゃ", {"matcha", "mattya", "maccha"}},
        {"きんようび", {"kin'youbi", "kinyoubi"}},
        {"じょうほう", {"jouhou", "zyouhou", "jyouhou", "joho"}},
        {"いちじ、いちじょう", {"ichij", "itiz", "ichijo"}}, // half-typed: a prefix
    };
    for (const auto &c : cases)
        for (const char *typed : c.typed)
            EXPECT_TRUE(finds(QString::fromUtf8(typed), QString::fromUtf8(c.reading))) << typed << " in " << c.reading;

    EXPECT_FALSE(finds(QStringLiteral("kyouto"), QStringLiteral("とうきょう")));
    EXPECT_FALSE(finds(QStringLiteral("ichik"), QStringLiteral("いちじ")));
    // Readings apart stay apart: no match across the 、.
    EXPECT_FALSE(finds(QStringLiteral("jiichi"), QStringLiteral("いちじ、いちじょう")));
    EXPECT_TRUE(romajiQuery(QStringLiteral("一石")).isEmpty());
}

} // namespace
