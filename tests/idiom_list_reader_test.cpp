// Tests of the idiom list size test and item reader, on real Shift-JIS bytes built in code.
#include "idioms/idiom_list_reader.h"

#include <QStringEncoder>
#include <QStringList>
#include <gtest/gtest.h>

// Readable failure messages for lists of idioms.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

using namespace horokata;
using namespace Qt::StringLiterals;

namespace {

QByteArray sjis(QStringView text)
{
    QStringEncoder encoder("windows-31j");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError()) << text.toString().toStdString();
    return bytes;
}

// `lines` four-kanji idioms (distinct up to 400 lines), each followed by `lineEnd`.
QByteArray idiomLines(int lines, const char *lineEnd)
{
    const QString kanji = u"一二三四五六七八九十百千万円日月火水木金"_s;
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += sjis(u"一石"_s + kanji[i / 20 % 20] + kanji[i % 20]) + lineEnd;
    return bytes;
}

QStringList idioms(const ParsedIdiomList &list)
{
    QStringList out;
    for (int i = 1; i <= list.count; ++i)
        out << list.entries[static_cast<std::size_t>(i)];
    return out;
}

QStringList parse(const QByteArray &bytes, int capacity = 100)
{
    const ParsedIdiomList list = parseIdiomList(bytes, capacity);
    EXPECT_FALSE(list.overCapacity);
    return idioms(list);
}

} // namespace

TEST(IdiomListSize, LimitsOnFileLength)
{
    EXPECT_FALSE(listSizeAcceptable(199));
    EXPECT_EQ(listCapacity(200), 20);
    EXPECT_TRUE(listSizeAcceptable(200));
    EXPECT_EQ(listCapacity(327679), 32767);
    EXPECT_TRUE(listSizeAcceptable(327679));
    // Capacity 32768 does not fit 16 bits and counts as 0.
    EXPECT_EQ(listCapacity(327680), 0);
    EXPECT_FALSE(listSizeAcceptable(327680));
    EXPECT_FALSE(listSizeAcceptable(std::int64_t{1} << 40));
    EXPECT_FALSE(listSizeAcceptable(-200));
}

TEST(IdiomListReader, SmallestFileFillsItsCapacity)
{
    const QByteArray bytes = idiomLines(20, "\r\n");
    ASSERT_EQ(bytes.size(), 200);
    const ParsedIdiomList list = parseIdiomList(bytes, listCapacity(bytes.size()));
    EXPECT_FALSE(list.overCapacity);
    ASSERT_EQ(list.count, 20);
    ASSERT_EQ(list.entries.size(), 21u);
    EXPECT_TRUE(list.entries[0].isEmpty());
    EXPECT_EQ(list.entries[1], u"一石一一"_s);
    EXPECT_EQ(list.entries[20], u"一石一金"_s);
}

TEST(IdiomListReader, CrLfFitsButLfOnlyOverflowsCapacity)
{
    const QByteArray crlf = idiomLines(200, "\r\n");
    ASSERT_EQ(crlf.size(), 2000);
    const ParsedIdiomList full = parseIdiomList(crlf, listCapacity(crlf.size()));
    EXPECT_FALSE(full.overCapacity);
    EXPECT_EQ(full.count, 200);

    const QByteArray lf = idiomLines(200, "\n");
    ASSERT_EQ(lf.size(), 1800);
    const ParsedIdiomList over = parseIdiomList(lf, listCapacity(lf.size()));
    EXPECT_TRUE(over.overCapacity);
    EXPECT_EQ(over.count, 180);
    EXPECT_EQ(over.entries.size(), 181u);
    EXPECT_EQ(over.entries[180], idioms(full)[179]);
}

TEST(IdiomListReader, CapacityOutsideItsRangeIsClamped)
{
    const ParsedIdiomList none = parseIdiomList(sjis(u"一石二鳥"), 0);
    EXPECT_TRUE(none.overCapacity);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(parseIdiomList(sjis(u"一石二鳥"), -5).entries.size(), 1u);
    EXPECT_EQ(parseIdiomList(QByteArray(), 1 << 30).entries.size(), 32768u);
}

TEST(IdiomListReader, OnlyFourCharacterItemsCountInFileOrder)
{
    const QByteArray bytes = sjis(u"＜初級＞の四字熟語\r\n一石二鳥\r\n\r\n三日坊\r\n七転八起き\r\n"
                                  u"abcd\r\nｱｲｳｴ\r\n一石二鳥\r\n四苦八苦\r\n\r\n\r\n");
    EXPECT_EQ(parse(bytes), QStringList({u"一石二鳥"_s, u"abcd"_s, u"ｱｲｳｴ"_s,
                                         u"一石二鳥"_s, u"四苦八苦"_s}));
}

TEST(IdiomListReader, CommasAndEveryKindOfLineEndSeparateItems)
{
    EXPECT_EQ(parse(sjis(u"一石二鳥,四苦八苦\r七転八倒\n十人十色\r\n自業自得")),
              QStringList({u"一石二鳥"_s, u"四苦八苦"_s, u"七転八倒"_s, u"十人十色"_s,
                           u"自業自得"_s}));
}

TEST(IdiomListReader, BlanksAroundUnquotedItemsAreDropped)
{
    EXPECT_EQ(parse(sjis(u"  \t一石二鳥 \t\r\n四苦八苦   ,  七転八倒\r\n　十人十色\r\n  ")),
              QStringList({u"一石二鳥"_s, u"四苦八苦"_s, u"七転八倒"_s}));
}

TEST(IdiomListReader, QuotedItemsRunToTheClosingQuote)
{
    EXPECT_EQ(parse(sjis(u"\"a,bc\"\r\n  \"一石二鳥\" 余分余分,四苦八苦\r\n\"x\r\ny\"\r\n\" 七転八倒\"")),
              QStringList({u"a,bc"_s, u"一石二鳥"_s, u"四苦八苦"_s, u"x\r\ny"_s}));
}

TEST(IdiomListReader, UnclosedQuoteRunsToTheEnd)
{
    EXPECT_EQ(parse(sjis(u"一石二鳥\r\n\"四苦八苦")),
              QStringList({u"一石二鳥"_s, u"四苦八苦"_s}));
    EXPECT_EQ(parse(sjis(u"一石二鳥\r\n\"四苦八苦\r\n七転八倒\r\n")), QStringList({u"一石二鳥"_s}));
}

TEST(IdiomListReader, DecodesCodePage932)
{
    // NEC special characters, the IBM extension rows and 0x5C exist only in code page 932.
    EXPECT_EQ(parse(QByteArray("\x87\x40\x87\x41\x87\x42\x87\x43\r\n\xFA\x40\xFA\x41\\~\r\n")),
              QStringList({u"①②③④"_s, u"ⅰⅱ\\~"_s}));
}

TEST(IdiomListReader, ItemsWithBrokenShiftJisAreSkipped)
{
    // Invalid single bytes, an unassigned double-byte code and lead bytes cut off by a
    // separator or the end of the file: the decoder would otherwise give four characters.
    const QByteArray bytes = QByteArray("ab\x80" "c\r\nab\x85\x40" "c\r\nabcd\x81\r\n")
        + sjis(u"一石二鳥") + QByteArray("\r\nabcd\x81,") + sjis(u"四苦八苦") + QByteArray("\r\nabcd\x81");
    EXPECT_EQ(parse(bytes), QStringList({u"一石二鳥"_s, u"四苦八苦"_s}));
}

TEST(IdiomListReader, ItemsWithNulAreSkipped)
{
    const QByteArray bytes = QByteArray("ab\0c\r\n\0\0\0\0\r\n", 12) + sjis(u"一石二鳥")
        + QByteArray("\r\n\0\0", 4);
    EXPECT_EQ(parse(bytes), QStringList({u"一石二鳥"_s}));
}
