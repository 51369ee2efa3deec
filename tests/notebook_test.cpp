// Tests of the notebook with every idiom of the dictionary met: search, level filter, the
// three orders, and the Anki file read back.
#include "records/anki_export.h"
#include "records/notebook.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace horokata;

static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kDictionary = QStringLiteral(HOROKATA_SOURCE_DIR "/data/") + QString::fromUtf8(kDictionaryFileName);

// Splits the file as Anki reads it: LF rows, tab fields, double-quoted fields with "" inside.
std::vector<QStringList> parseRows(const QString &text, QStringList *headers)
{
    std::vector<QStringList> rows;
    for (const QString &line : text.split(u'\n')) {
        if (line.startsWith(u'#')) {
            *headers << line;
            continue;
        }
        if (line.isEmpty())
            continue;
        QStringList fields;
        for (const QString &raw : line.split(u'\t')) {
            QString f = raw;
            if (f.startsWith(u'"') && f.endsWith(u'"') && f.size() >= 2)
                f = f.mid(1, f.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
            fields << f;
        }
        rows.push_back(fields);
    }
    return rows;
}

// Every idiom of the dictionary met on boards of twenty: the first ten of each board found,
// the other ten revealed by its loss; the board's level turns 0, 1, 2, 3.
class NotebookTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dictionary = new IdiomDictionary(readIdiomDictionary(kDictionary));
        dir = new QTemporaryDir(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm/horokata-XXXXXX")
                                                                                    : QDir::tempPath() + QStringLiteral("/horokata-XXXXXX"));
        RecordsStore store;
        std::int64_t now = 1'700'000'000'000;
        store.setClock([&] { return now += 1000; });
        ASSERT_EQ(store.open(dir->filePath(QStringLiteral("records.sqlite"))).status, OpenOutcome::Status::Ok);
        QStringList idioms = dictionary->keys();
        idioms.sort();
        for (qsizetype first = 0; first < idioms.size(); first += kIdioms) {
            DealtBoard b;
            b.level = int(first / kIdioms) % kLevelCount;
            QString text;
            for (int k = 0; k < kIdioms; ++k) {
                b.strGOKU[std::size_t(k)] = idioms[(first + k) % idioms.size()];
                text += b.strGOKU[std::size_t(k)];
            }
            for (int i = 0; i < kCells; ++i)
                b.strMOJI[std::size_t(i)] = text.mid(i, 1);
            const DealIds ids = store.recordDeal(b);
            ASSERT_GT(ids.attemptId, 0);
            for (int k = 0; k < kIdioms / 2; ++k)
                ASSERT_TRUE(store.recordPick(ids.attemptId, PickResult::Found, k + 1, b.strGOKU[std::size_t(k)], 1000));
            ASSERT_TRUE(store.endAttempt(ids.attemptId, BoardEnd::Lost, 3, 2000));
        }
        notebook = new Notebook(store.notebook(), *dictionary);
    }
    static void TearDownTestSuite()
    {
        delete notebook;
        delete dir;
        delete dictionary;
    }

    static QStringList idiomsOf(const std::vector<int> &indices)
    {
        QStringList out;
        for (int i : indices)
            out << notebook->entries()[std::size_t(i)].record.idiom;
        return out;
    }

    static inline IdiomDictionary *dictionary = nullptr;
    static inline QTemporaryDir *dir = nullptr;
    static inline Notebook *notebook = nullptr;
};

TEST_F(NotebookTest, HoldsEveryIdiomMetWithItsCard)
{
    ASSERT_GE(dictionary->size(), 3000);
    ASSERT_EQ(notebook->entries().size(), std::size_t(dictionary->size()));
    const int i = notebook->indexOf(QStringLiteral("異口同音"));
    ASSERT_GE(i, 0);
    const NotebookEntry &e = notebook->entries()[std::size_t(i)];
    EXPECT_EQ(e.reading, QStringLiteral("いくどうおん、いこうどうおん"));
    EXPECT_TRUE(e.meaning.contains(QStringLiteral("unanimously")));
    EXPECT_EQ(e.record.found + e.record.missed, 1);
    int found = 0;
    for (const NotebookEntry &n : notebook->entries())
        found += n.record.found;
    EXPECT_NEAR(found, dictionary->size() / 2, kIdioms);
}

TEST_F(NotebookTest, SearchesIdiomReadingAndMeaning)
{
    const QStringList kai = idiomsOf(notebook->query({NotebookSort::Reading, -1, QStringLiteral("かい")}));
    EXPECT_TRUE(kai.contains(QStringLiteral("改革開放")));
    for (const QString &idiom : kai) {
        const NotebookEntry &e = notebook->entries()[std::size_t(notebook->indexOf(idiom))];
        EXPECT_TRUE(searchFold(e.record.idiom + e.reading + e.meaning).contains(QStringLiteral("かい"))) << idiom.toStdString();
    }
    EXPECT_EQ(idiomsOf(notebook->query({NotebookSort::Reading, -1, QStringLiteral(" カイ ")})), kai);
    EXPECT_TRUE(idiomsOf(notebook->query({NotebookSort::Reading, -1, QStringLiteral("UNANIMOUSLY")}))
                    .contains(QStringLiteral("異口同音")));
    EXPECT_TRUE(idiomsOf(notebook->query({NotebookSort::Reading, -1, QStringLiteral("一石")}))
                    .contains(QStringLiteral("一石二鳥")));
    EXPECT_TRUE(notebook->query({NotebookSort::Reading, -1, QStringLiteral("zzzzqqq")}).empty());
    EXPECT_EQ(notebook->query({}).size(), notebook->entries().size());

    // Each level holds its own boards' idioms; together they are all.
    std::size_t total = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        const std::vector<int> shown = notebook->query({NotebookSort::Newest, level, QString()});
        for (int i : shown)
            EXPECT_TRUE(notebook->entries()[std::size_t(i)].record.levels & (1 << level));
        total += shown.size();
    }
    EXPECT_GE(total, notebook->entries().size());
    EXPECT_LT(total, notebook->entries().size() + kIdioms);
}

TEST_F(NotebookTest, SortsByReadingNewestAndMostMissed)
{
    EXPECT_LT(gojuonKey(QStringLiteral("かい")), gojuonKey(QStringLiteral("がい")));
    EXPECT_LT(gojuonKey(QStringLiteral("がい")), gojuonKey(QStringLiteral("かく")));
    EXPECT_LT(gojuonKey(QStringLiteral("いつか")), gojuonKey(QStringLiteral("いっき"))); // small っ sorts as つ
    EXPECT_EQ(gojuonKey(QStringLiteral("カイ")), gojuonKey(QStringLiteral("かい")));

    const auto &all = notebook->entries();
    const auto key = [&](int i) { return gojuonKey(all[std::size_t(i)].reading.section(u'、', 0, 0)); };
    const std::vector<int> byReading = notebook->query({NotebookSort::Reading, -1, QString()});
    for (std::size_t k = 1; k < byReading.size(); ++k)
        ASSERT_LE(key(byReading[k - 1]), key(byReading[k])) << k;
    EXPECT_TRUE(all[std::size_t(byReading.front())].reading.startsWith(u'あ'));

    const std::vector<int> newest = notebook->query({NotebookSort::Newest, -1, QString()});
    for (std::size_t k = 1; k < newest.size(); ++k)
        ASSERT_GE(all[std::size_t(newest[k - 1])].record.lastMetMs, all[std::size_t(newest[k])].record.lastMetMs);
    const std::vector<int> missed = notebook->query({NotebookSort::MostMissed, -1, QString()});
    for (std::size_t k = 1; k < missed.size(); ++k)
        ASSERT_GE(all[std::size_t(missed[k - 1])].record.missed, all[std::size_t(missed[k])].record.missed);
    EXPECT_EQ(all[std::size_t(missed.front())].record.missed, 1);
    EXPECT_EQ(all[std::size_t(missed.back())].record.missed, 0);
}

TEST_F(NotebookTest, ExportsEveryIdiomAsOneRow)
{
    const std::vector<NotebookEntry> entries = notebook->select({NotebookSort::Reading, -1, QString()});
    QStringList headers;
    const std::vector<QStringList> rows = parseRows(QString::fromUtf8(ankiExportText(entries)), &headers);
    EXPECT_EQ(headers.size(), 5);
    ASSERT_EQ(rows.size(), entries.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), kAnkiColumns) << i;
        EXPECT_EQ(rows[i][0], entries[i].record.idiom);
        EXPECT_EQ(rows[i][1], entries[i].reading + QStringLiteral("<br>") + entries[i].meaning.toHtmlEscaped()) << i;
    }
}

TEST(AnkiExportTest, WritesTheWholeFileOrNothing)
{
    NotebookEntry a;
    a.record = {QStringLiteral("一石二鳥"), 0b0101, 3, 1, true, 1, 2, {}};
    NotebookEntry b;
    b.record = {QStringLiteral("異口同音"), 0b1000, 0, 2, false, 1, 2, {}};
    const QByteArray bytes = ankiExportText({a, b});
    // Written whole or not at all.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.txt"));
    QString error;
    ASSERT_TRUE(writeAnkiExport(path, {a, b}, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    ASSERT_TRUE(writeAnkiExport(path, {b}, &error));
    EXPECT_EQ(QFileInfo(path).size(), ankiExportText({b}).size());
    QFile(dir.filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly);
    const QString impossible = dir.filePath(QStringLiteral("blocker/notes.txt"));
    EXPECT_FALSE(writeAnkiExport(impossible, {a}, &error));
    EXPECT_TRUE(error.contains(impossible));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("blocker"), QStringLiteral("notes.txt")}));
}

} // namespace
