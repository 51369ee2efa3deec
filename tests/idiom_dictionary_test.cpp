// Tests of the reading-and-meaning file: its parser on bad input, the read limit, the cards.
#include "idioms/idiom_dictionary.h"
#include "idioms/idiom_list_reader.h"
#include "idioms/levels.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace horokata;
using namespace Qt::StringLiterals;

namespace {

QByteArray line(const char *idiom, const char *reading, const char *meaning)
{
    return QByteArray(idiom) + '\t' + reading + '\t' + meaning + '\n';
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QString::fromUtf8(kDictionaryFileName));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

} // namespace

TEST(IdiomDictionary, KeepsTheSoundLinesAmongBrokenOnes)
{
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF# comment\tline\twith tabs\n\n")
        + line("一石二鳥", "いっせきにちょう", "killing two birds with one stone")
        + "十人十色\tじゅうにんといろ\t several men, several minds \r\n"
        + line("一石二鳥", "にせもの", "a later line of the same idiom") // duplicate: first kept
        + line("三日坊主", "みっかぼうず", "") // empty meaning
        + line("三日坊", "みっかぼう", "three characters")
        + line("三日坊主主", "x", "five characters")
        + "三日坊主\tみっかぼうず\n"                                      // two fields
        + line("三日坊主", "みっか\tぼうず", "four fields")
        + line("三日坊主", "みっかぼうず", "bell\x07 in it")
        + "\x8E\x4F\x93\xFA\x96\56\x8E\xE5\tmikka\tShift-JIS, not UTF-8\n"
        + line("三日坊\xE4", "x", "cut multi-byte character")
        + line("七転八倒", "しちてんばっとう", std::string(kMaxDictionaryLineBytes, 'x').c_str())
        + line("𠀋一二三", "x", "a character outside the BMP counts once")
        + "一期一会\tいちごいちえ\tonce-in-a-lifetime encounter"; // last line without LF

    const IdiomDictionary d = parseIdiomDictionary(bytes);
    EXPECT_EQ(d.size(), 4);
    EXPECT_EQ(d.value(u"一石二鳥"_s).reading, u"いっせきにちょう"_s);
    EXPECT_EQ(d.value(u"一石二鳥"_s).meaning, u"killing two birds with one stone"_s);
    EXPECT_EQ(d.value(u"十人十色"_s).meaning, u"several men, several minds"_s);
    EXPECT_TRUE(d.contains(u"𠀋一二三"_s));
    EXPECT_EQ(d.value(u"一期一会"_s).meaning, u"once-in-a-lifetime encounter"_s);
    EXPECT_FALSE(d.contains(u"三日坊主"_s));
    EXPECT_FALSE(d.contains(u"七転八倒"_s));

    EXPECT_TRUE(parseIdiomDictionary(QByteArrayView()).isEmpty());
    EXPECT_TRUE(parseIdiomDictionary("\n\r\n\t\t\n").isEmpty());
}

TEST(IdiomDictionary, ReadsNoMoreThanTheLimitAndNothingOfAMissingFile)
{
    QTemporaryDir dir;
    EXPECT_TRUE(readIdiomDictionary(dir.filePath(u"none.txt"_s)).isEmpty());
    EXPECT_TRUE(readIdiomDictionary(dir.path()).isEmpty());
    // A named pipe in the file's place: nothing is read, and nothing waits for a writer.
    const QString fifo = dir.filePath(u"fifo.txt"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(readIdiomDictionary(fifo).isEmpty());

    // An oversized file: the entry that the limit cuts in its meaning, and all after it, are
    // lost.
    const QByteArray first = line("一石二鳥", "いっせきにちょう", "two birds");
    QByteArray bytes = first;
    const QByteArray filler = "# " + QByteArray(1000, 'x') + '\n';
    while (bytes.size() + filler.size() < kMaxDictionaryBytes)
        bytes += filler;
    bytes += "# " + QByteArray(kMaxDictionaryBytes - 45 - bytes.size() - 3, 'x') + '\n';
    bytes += line("十人十色", "じゅうにんといろ", "several men, several minds");
    ASSERT_GT(bytes.size(), kMaxDictionaryBytes);
    bytes += line("一期一会", "いちごいちえ", "once-in-a-lifetime encounter");
    const IdiomDictionary d = readIdiomDictionary(writeFile(dir, bytes));
    EXPECT_EQ(d.size(), 1);
    EXPECT_TRUE(d.contains(u"一石二鳥"_s));
}

TEST(IdiomCards, ReadTheFileOnlyForALineThatShowsAnIdiom)
{
    QTemporaryDir dir;
    IdiomCards cards(writeFile(dir, line("一石二鳥", "いっせきにちょう", "killing two birds with one stone")));
    EXPECT_EQ(cards.cardForLine(u"01："_s), QString());
    EXPECT_FALSE(cards.loaded());
    EXPECT_EQ(cards.cardForLine(u"02：一石二鳥"_s), u"一石二鳥\nいっせきにちょう\nkilling two birds with one stone"_s);
    EXPECT_TRUE(cards.loaded());
    EXPECT_EQ(cards.cardForLine(u"03：abcd"_s), QString()); // an idiom of an edited list

    IdiomCards none(dir.filePath(u"missing.txt"_s));
    EXPECT_EQ(none.cardForLine(u"01：一石二鳥"_s), QString());
}

// Every idiom of the shipped lists, read as the game reads them, has a card.
TEST(IdiomCards, EveryShippedIdiomHasOne)
{
    const QString data = QStringLiteral(HOROKATA_SOURCE_DIR "/data/");
    IdiomCards cards(data + QString::fromUtf8(kDictionaryFileName));
    int idioms = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        QFile f(data + QString::fromUtf8(levelAt(level).fileName));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const ParsedIdiomList list = parseIdiomList(bytes, listCapacity(bytes.size()));
        for (int i = 1; i <= list.count; ++i, ++idioms)
            EXPECT_FALSE(cards.cardForLine(u"01："_s + list.entries[std::size_t(i)]).isEmpty())
                << QString(list.entries[std::size_t(i)]).toStdString();
    }
    EXPECT_GT(idioms, 3000);
}
