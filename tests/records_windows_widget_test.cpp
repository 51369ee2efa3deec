// The records window and the notebook window against a store of real boards: what a screen
// reader reads in their cells, clearing a level behind an open question, the search, the
// card and the export.
#include "records/records_store.h"
#include "records_ui/notebook_window.h"
#include "records_ui/records_window.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QCoroSignal>
#include <gtest/gtest.h>

using namespace horokata;

static inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kDictionary = QStringLiteral(HOROKATA_SOURCE_DIR "/data/") + QString::fromUtf8(kDictionaryFileName);

// What a screen reader reads in one cell of a table, and in its row and column headers.
QAccessibleInterface *cellOf(QAbstractItemView *view, int row, int column)
{
    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(view);
    return table && table->tableInterface() ? table->tableInterface()->cellAt(row, column) : nullptr;
}

QStringList rowNames(QAbstractItemView *view, int row)
{
    QStringList names;
    for (int c = 0; c < view->model()->columnCount(); ++c) {
        QAccessibleInterface *cell = cellOf(view, row, c);
        names << (cell ? cell->text(QAccessible::Name) : QStringLiteral("<no cell>"));
    }
    return names;
}

class RecordsWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { dictionary = new IdiomDictionary(readIdiomDictionary(kDictionary)); }
    static void TearDownTestSuite() { delete dictionary; }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_GE(dictionary->size(), 3000);
        store.setClock([this] { return now += 1000; });
        ASSERT_EQ(store.open(dir.filePath(QStringLiteral("records.sqlite"))).status, OpenOutcome::Status::Ok);
        idioms = dictionary->keys();
        idioms.sort();
        // 改革開放 and 異口同音 are on the first board.
        idioms.removeAll(QStringLiteral("改革開放"));
        idioms.removeAll(QStringLiteral("異口同音"));
        idioms.insert(3, QStringLiteral("改革開放"));
        idioms.insert(15, QStringLiteral("異口同音"));
    }

    // Board `n` holds idioms 20n..20n+19; the first `found` are found, then `misses` misses,
    // then it ends as `end` after `ms` of play.
    void play(int n, int level, BoardEnd end, std::int64_t ms, int misses, int found = 5)
    {
        DealtBoard b;
        b.level = level;
        QString text;
        for (int k = 0; k < kIdioms; ++k) {
            b.strGOKU[std::size_t(k)] = idioms[n * kIdioms + k];
            text += b.strGOKU[std::size_t(k)];
        }
        for (int i = 0; i < kCells; ++i)
            b.strMOJI[std::size_t(i)] = text.mid(i, 1);
        const DealIds ids = store.recordDeal(b);
        ASSERT_GT(ids.attemptId, 0);
        for (int k = 0; k < found; ++k)
            ASSERT_TRUE(store.recordPick(ids.attemptId, PickResult::Found, k + 1, b.strGOKU[std::size_t(k)], ms));
        for (int m = 0; m < misses; ++m)
            ASSERT_TRUE(store.recordPick(ids.attemptId, PickResult::Miss, 0, QString(), ms));
        ASSERT_TRUE(store.endAttempt(ids.attemptId, end, misses, ms));
    }

    // 初級: won in 1:05 without a miss, won in 1:35 with one, lost at 0:40; 一般: won in 0:30
    // with two misses.
    void playFourBoards()
    {
        play(0, 0, BoardEnd::Won, 65'000, 0, kIdioms);
        play(1, 0, BoardEnd::Won, 95'000, 1, kIdioms);
        play(2, 0, BoardEnd::Lost, 40'000, 3);
        play(3, 1, BoardEnd::Won, 30'000, 2, kIdioms);
    }

    static inline IdiomDictionary *dictionary = nullptr;
    QTemporaryDir dir;
    RecordsStore store;
    std::int64_t now = 1'700'000'000'000;
    QStringList idioms;
};

TEST_F(RecordsWindowsTest, RecordsWindowCellsReadTheFiguresOfEachLevel)
{
    playFourBoards();
    RecordsWindow w(store, {});
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("記録"));
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.clearButton(0), nullptr) << "no question, no clearing";

    QTableWidget *stats = w.statsTable();
    using L = QStringList;
    EXPECT_EQ(rowNames(stats, 0), (L{"3", "2", "67%", "0", "2", "1:05", "1:20", "1", "-"}));
    EXPECT_EQ(rowNames(stats, 1), (L{"1", "1", "100%", "1", "1", "0:30", "0:30", "0", "-"}));
    EXPECT_EQ(rowNames(stats, 2), (L{"0", "0", "0%", "0", "0", "-", "-", "0", "-"}));
    EXPECT_EQ(rowNames(stats, 4), (L{"4", "3", "75%", "1", "2", "0:30", "1:03", "1", "-"}));
    // A reader hears each figure with its level and its column.
    QAccessibleTableCellInterface *cell = cellOf(stats, 4, 2)->tableCellInterface();
    ASSERT_NE(cell, nullptr);
    ASSERT_EQ(cell->rowHeaderCells().size(), 1);
    EXPECT_EQ(cell->rowHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("合計"));
    ASSERT_EQ(cell->columnHeaderCells().size(), 1);
    EXPECT_EQ(cell->columnHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("勝率"));

    QTableWidget *recent = w.recentTable();
    ASSERT_EQ(recent->rowCount(), 4);
    const QStringList newest = rowNames(recent, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d$")).match(newest[0]).hasMatch()) << newest[0].toStdString();
    EXPECT_EQ(newest.mid(1), (L{"一般", "勝ち", "0:30", "2", "0"}));
    EXPECT_EQ(rowNames(recent, 1).mid(1), (L{"初級", "負け", "0:40", "3", "0"}));

    // A board ended while the window is open shows once it is refreshed.
    play(4, 3, BoardEnd::GaveUp, 10'000, 0);
    w.refresh();
    EXPECT_EQ(rowNames(stats, 3)[0], QStringLiteral("1"));
    EXPECT_EQ(recent->rowCount(), 5);

    QTest::keyClick(stats, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

// The question stays open as long as the player likes, in a window that goes on working; the
// records are cleared only on a yes, and a window closed for good meanwhile clears nothing.
TEST_F(RecordsWindowsTest, ClearingALevelWaitsForTheAnswerWithoutBlocking)
{
    playFourBoards();
    QAction answer; // triggered(true) answers yes, triggered(false) no
    std::vector<int> asked;
    auto window = std::make_unique<RecordsWindow>(store, [&](int level) -> horokata::FlowTask<bool> {
        asked.push_back(level);
        co_return co_await qCoro(&answer, &QAction::triggered);
    });
    RecordsWindow &w = *window;
    QSignalSpy cleared(&w, &RecordsWindow::levelCleared);
    w.show();
    ASSERT_NE(w.clearButton(0), nullptr);
    EXPECT_EQ(w.clearButton(0)->accessibleName(), QStringLiteral("初級の記録を消去"));

    QTest::mouseClick(w.clearButton(0), Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<int>{0});
    EXPECT_FALSE(w.clearButton(1)->isEnabled()) << "one question at a time";
    w.refresh(); // the window still works while the question is open
    emit answer.triggered(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.clearButton(1)->isEnabled(); }));
    EXPECT_EQ(rowNames(w.statsTable(), 0)[0], QStringLiteral("3"));
    EXPECT_EQ(cleared.count(), 0);

    QTest::mouseClick(w.clearButton(0), Qt::LeftButton);
    emit answer.triggered(true);
    ASSERT_TRUE(cleared.wait(5000));
    EXPECT_EQ(cleared.at(0).at(0).toInt(), 0);
    EXPECT_EQ(rowNames(w.statsTable(), 0), (QStringList{"0", "0", "0%", "0", "0", "-", "-", "0", "-"}));
    EXPECT_EQ(rowNames(w.statsTable(), 4)[0], QStringLiteral("1"));
    EXPECT_EQ(w.recentTable()->rowCount(), 1);

    QTest::mouseClick(w.clearButton(1), Qt::LeftButton);
    window.reset();
    emit answer.triggered(true);
    QTest::qWait(50);
    EXPECT_EQ(store.summary().levels[1].played, 1);
}

TEST_F(RecordsWindowsTest, AStoreThatOnlyReadsShowsTheRecordsAndCannotClear)
{
    playFourBoards();
    RecordsStore reader;
    ASSERT_EQ(reader.open(dir.filePath(QStringLiteral("records.sqlite")), RecordsStore::Mode::ReadOnly).status,
              OpenOutcome::Status::Ok);
    RecordsWindow w(reader, [](int) -> QCoro::Task<bool> { co_return true; });
    w.show();
    EXPECT_EQ(rowNames(w.statsTable(), 0)[0], QStringLiteral("3"));
    ASSERT_NE(w.clearButton(0), nullptr);
    EXPECT_FALSE(w.clearButton(0)->isEnabled());
    EXPECT_TRUE(w.clearButton(0)->toolTip().contains(QStringLiteral("書き込めない")));
    EXPECT_EQ(w.statusText(), w.clearButton(0)->toolTip());
}

TEST_F(RecordsWindowsTest, NotebookSearchesShowsCardsAndOpensAtAnIdiom)
{
    play(0, 0, BoardEnd::Lost, 50'000, 3, 10); // 改革開放 found, 異口同音 revealed
    play(1, 2, BoardEnd::Won, 50'000, 0, kIdioms);
    NotebookWindow w(store, *dictionary);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("単語帳"));
    EXPECT_FALSE(w.isModal());
    ASSERT_EQ(w.shownCount(), 2 * kIdioms);

    // Every column of a row is read: idiom, reading, level, found, missed, meaning.
    w.sortBox()->setCurrentIndex(1); // gojūon
    int row = -1;
    for (int r = 0; r < w.shownCount(); ++r)
        if (w.shownIdiom(r) == QStringLiteral("異口同音"))
            row = r;
    ASSERT_GE(row, 0);
    const QStringList cells = rowNames(w.list(), row);
    ASSERT_EQ(cells.size(), 7);
    EXPECT_EQ(cells.mid(0, 5), (QStringList{"異口同音", "いくどうおん、いこうどうおん", "初級", "0", "1"}));
    EXPECT_TRUE(cells[6].contains(QStringLiteral("unanimously")));

    // Search as the player types: かい finds 改革開放 (かいかくかいほう), カイ too.
    for (const QChar c : QStringLiteral("かい"))
        w.searchBox()->insert(c);
    ASSERT_GT(w.shownCount(), 0);
    ASSERT_LT(w.shownCount(), 2 * kIdioms);
    QStringList shown;
    for (int r = 0; r < w.shownCount(); ++r)
        shown << w.shownIdiom(r);
    EXPECT_TRUE(shown.contains(QStringLiteral("改革開放")));
    w.searchBox()->setText(QStringLiteral("カイカク"));
    EXPECT_EQ(w.shownCount(), 1);
    // Half-width katakana and romaji, a syllable half typed, find it too.
    for (const QString &typed : {QStringLiteral("ｶｲｶｸ"), QStringLiteral("kaikakuk"), QStringLiteral("KAIKAKU KAIHOU")}) {
        w.searchBox()->setText(typed);
        ASSERT_EQ(w.shownCount(), 1) << typed.toStdString();
        EXPECT_EQ(w.shownIdiom(0), QStringLiteral("改革開放"));
        EXPECT_FALSE(w.noMatchLabel()->isVisible());
    }
    w.searchBox()->setText(QStringLiteral("no such words anywhere"));
    EXPECT_EQ(w.shownCount(), 0);
    EXPECT_TRUE(w.noMatchLabel()->isVisible());
    EXPECT_EQ(w.noMatchLabel()->text(), QStringLiteral("該当なし"));
    EXPECT_FALSE(w.exportButton()->isEnabled());

    // A click on a header sorts by its column, and the sort holds while the player types.
    w.searchBox()->clear();
    QHeaderView *header = w.list()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(4) + 5, header->height() / 2)); // 見逃し
    ASSERT_EQ(w.headerSortColumn(), 4);
    w.searchBox()->setText(QStringLiteral("i"));
    ASSERT_GT(w.shownCount(), 1);
    const auto missed = [&](int row) { return w.list()->model()->index(row, 4).data().toString(); };
    EXPECT_EQ(missed(0), QStringLiteral("1")) << "most missed first";
    EXPECT_EQ(missed(w.shownCount() - 1), QStringLiteral("0"));
    w.sortBox()->setCurrentIndex(0);
    EXPECT_EQ(w.headerSortColumn(), -1);
    w.searchBox()->clear();
    w.levelBox()->setCurrentIndex(1 + 2); // 特殊
    EXPECT_EQ(w.shownCount(), kIdioms);

    // Selecting a row shows its card, read as idiom, reading and meaning.
    QTest::keyClick(w.list(), Qt::Key_Down);
    const QString selected = w.selectedIdiom();
    ASSERT_FALSE(selected.isEmpty());
    const IdiomEntry entry = dictionary->value(selected);
    EXPECT_EQ(w.card()->accessibleName(), selected + u'\n' + entry.reading + u'\n' + entry.meaning);
    EXPECT_TRUE(w.card()->text().contains(selected));

    // Opening at an idiom the filter hides shows the whole list again, at that idiom.
    w.searchBox()->setText(QStringLiteral("zz"));
    w.close();
    w.showIdiom(QStringLiteral("異口同音"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.selectedIdiom(), QStringLiteral("異口同音"));
    EXPECT_TRUE(w.card()->accessibleName().startsWith(QStringLiteral("異口同音\nいくどうおん")));
    EXPECT_TRUE(w.searchBox()->text().isEmpty());
    EXPECT_EQ(w.shownCount(), 2 * kIdioms);

    // An idiom met after the window was read is found all the same.
    play(2, 1, BoardEnd::Lost, 1000, 3, 1);
    w.showIdiom(idioms[2 * kIdioms]);
    EXPECT_EQ(w.selectedIdiom(), idioms[2 * kIdioms]);
}

TEST_F(RecordsWindowsTest, NotebookExportWritesTheListShownAndSaysWhenItCannot)
{
    play(0, 0, BoardEnd::Lost, 50'000, 3, 10);
    play(1, 3, BoardEnd::Won, 50'000, 0, kIdioms);
    NotebookWindow w(store, *dictionary);
    w.show();
    w.levelBox()->setCurrentIndex(1 + 3); // 其他
    QSignalSpy finished(&w, &NotebookWindow::exportFinished);

    // The button asks for a file without waiting; the chosen file gets the list as shown.
    QTest::mouseClick(w.exportButton(), Qt::LeftButton);
    auto *dialog = w.findChild<QFileDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    const QString path = dir.filePath(QStringLiteral("deck.txt"));
    emit dialog->fileSelected(path);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList rows;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows << line;
    ASSERT_EQ(rows.size(), kIdioms);
    for (const QString &r : rows)
        EXPECT_EQ(r.split(u'\t').value(2), QStringLiteral("其他 horokata")) << r.toStdString();
    EXPECT_TRUE(w.statusText().contains(QStringLiteral("20 語"))) << w.statusText().toStdString();

    // Choosing that file again asks first, without waiting; it is replaced on a yes.
    w.levelBox()->setCurrentIndex(0);
    QTest::mouseClick(w.exportButton(), Qt::LeftButton);
    emit w.findChild<QFileDialog *>()->fileSelected(path);
    auto *replace = w.findChild<QMessageBox *>(QStringLiteral("replaceQuestion"));
    ASSERT_NE(replace, nullptr);
    ASSERT_EQ(replace->buttons().constFirst()->text(), QStringLiteral("はい ○"));
    EXPECT_TRUE(replace->isVisible());
    EXPECT_EQ(finished.count(), 1) << "nothing written before the answer";
    replace->buttons().constFirst()->click(); // はい ○
    ASSERT_EQ(finished.count(), 2);
    EXPECT_TRUE(w.statusText().contains(QStringLiteral("40 語"))) << w.statusText().toStdString();

    // A place that cannot be written: said in the window, and no file left.
    QFile blocker(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString bad = dir.filePath(QStringLiteral("plain-file/deck.txt"));
    EXPECT_FALSE(w.exportTo(bad));
    EXPECT_FALSE(QFile::exists(bad));
    EXPECT_TRUE(w.statusText().contains(QStringLiteral("書き出せませんでした"))) << w.statusText().toStdString();
    ASSERT_EQ(finished.count(), 3);
    EXPECT_FALSE(finished.at(2).at(0).toBool());
}

} // namespace
