// The real main window on an X server: dealing, finding an idiom, three misses, the effect.
#include "main_window/main_window.h"
#include "platform_qt/qt_platform.h"
#include "popups/confirm_dialog.h"
#include "popups/level_menu.h"
#include "puzzle/saved_board.h"
#include "records/records_store.h"
#include "support/game_invariants.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <set>

using namespace horokata;
using horokata::testing::checkInvariants;

namespace {

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// A side-panel line's card as a screen reader gets it.
QString accessibleDescription(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Description) : QString();
}

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
        window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
        platform.beforeEvents = [this] { window->sync(); };
        ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override
    {
        window->close();
        window.reset();
    }

    // A click, and whatever flow it started run to its end.
    void click(QWidget *w, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(w, b, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
        QElapsedTimer t;
        t.start();
        while (window->flowRunning() && t.elapsed() < 20000)
            QTest::qWait(20);
        ASSERT_FALSE(window->flowRunning()) << "the flow did not end";
    }

    // The visible tiles, read through their accessible names.
    std::vector<int> visibleTiles() const
    {
        std::vector<int> out;
        for (int i = 0; i < kCells; ++i)
            if (window->view().tile(i)->isVisible())
                out.push_back(i);
        return out;
    }

    // Tiles that spell `idiom` in order, found by their accessible names.
    std::vector<int> tilesSpelling(const QString &idiom) const
    {
        std::vector<int> picked;
        for (QChar ch : idiom) {
            for (int i : visibleTiles()) {
                if (accessibleName(window->view().tile(i)) == QString(ch)
                    && std::find(picked.begin(), picked.end(), i) == picked.end()) {
                    picked.push_back(i);
                    break;
                }
            }
        }
        return picked;
    }

    QString pickOf(const std::vector<int> &tiles) const
    {
        QString s;
        for (int i : tiles)
            s += accessibleName(window->view().tile(i));
        return s;
    }

    // Answers the next confirmation dialog once it is open, through its own buttons.
    void answerNextDialog(bool yes)
    {
        QTimer::singleShot(300, [this, yes] {
            auto *dialog = window->findChild<ConfirmDialog *>();
            ASSERT_TRUE(dialog && dialog->isVisible()) << "no dialog open";
            if (yes)
                dialog->cmdOK_Click();
            else
                dialog->cmdCANSEL_Click();
        });
    }

    void deal()
    {
        click(window->button("cmdNEW"));
        ASSERT_EQ(visibleTiles().size(), 80u);
        ASSERT_TRUE(window->game().playing());
    }

    ProgramState globals;
    QtPlatform platform;
    std::unique_ptr<MainWindow> window;
};

TEST_F(RealWindow, StartsOnTheTitleBoardAndDealsEightyKanji)
{
    EXPECT_EQ(window->size(), QSize(610, 429));
    EXPECT_EQ(accessibleName(window->view().levelLabel()), QStringLiteral("＜初級＞"));
    EXPECT_EQ(accessibleName(window->view().statusLabel()), QStringLiteral("準備完了"));
    QString row;
    for (int i : kMessageCells)
        row += accessibleName(window->view().tile(i));
    EXPECT_EQ(row, QStringLiteral("＊ホロカタ＊"));
    for (int k = 0; k < kIdioms; ++k)
        EXPECT_EQ(accessibleName(window->view().line(k)), lineNumber(k));
    EXPECT_EQ(window->view().tile(8)->pos(), QPoint(1 + 48, 1 + 0));
    EXPECT_EQ(window->view().tile(7)->pos(), QPoint(1 + 0, 1 + 336));

    deal();
    for (int i = 0; i < kCells; ++i)
        EXPECT_EQ(accessibleName(window->view().tile(i)).size(), 1) << "tile " << i;

    // The board shows the blue gradient through cleared cells: check a band on screen.
    const QImage shot = window->grab().toImage();
    window->view().tile(0)->hide();
    const QImage cleared = window->view().board()->grab().toImage();
    const QColor top = cleared.pixelColor(10, 10);
    EXPECT_EQ(top.red(), 0);
    EXPECT_EQ(top.green(), 0);
    EXPECT_GT(top.blue(), 60);
    window->sync();
    EXPECT_FALSE(shot.isNull());
}

TEST_F(RealWindow, FindingAnIdiomClearsItsTilesFillsALineAndClosesUp)
{
    std::vector<qint64> clearMs;
    for (int board = 0; board < 5; ++board) {
        if (board > 0) {
            // Throwing away a board with a find asks first; "いいえ ×" keeps it.
            const std::size_t before = visibleTiles().size();
            answerNextDialog(false);
            click(window->button("cmdNEW"));
            EXPECT_EQ(visibleTiles().size(), before);
            answerNextDialog(true);
        }
        deal();
        // The card of the last board's find went with its line.
        EXPECT_EQ(accessibleDescription(window->view().line(0)), QString());
        EXPECT_EQ(window->view().line(0)->toolTip(), QString());
        const QString idiom = window->game().hiddenIdioms()[1];
        const std::vector<int> tiles = tilesSpelling(idiom);
        ASSERT_EQ(tiles.size(), 4u);
        for (int k = 0; k < 3; ++k)
            click(window->view().tile(tiles[static_cast<std::size_t>(k)]));
        EXPECT_EQ(accessibleName(window->view().statusLabel()), idiom.left(3));
        QElapsedTimer timer;
        timer.start();
        click(window->view().tile(tiles[3]));
        clearMs.push_back(timer.elapsed());

        EXPECT_EQ(visibleTiles().size(), 76u);
        EXPECT_EQ(accessibleName(window->view().line(0)), QStringLiteral("01：") + idiom);
        // The found line carries its card (idiom, reading, meaning); the empty ones none.
        const QStringList card = accessibleDescription(window->view().line(0)).split(QLatin1Char('\n'));
        ASSERT_EQ(card.size(), 3);
        EXPECT_EQ(card[0], idiom);
        EXPECT_FALSE(card[1].isEmpty() || card[2].isEmpty());
        // The tooltip shows the same words, only laid out (a line per sense), and where a click leads.
        QTextDocument shown;
        shown.setHtml(window->view().line(0)->toolTip());
        EXPECT_EQ(shown.toPlainText().simplified(),
                  (card.join(QLatin1Char(' ')) + QStringLiteral(" クリックで単語帳（Ctrl+I）")).simplified());
        EXPECT_EQ(accessibleDescription(window->view().line(1)), QString());
        EXPECT_EQ(window->view().line(1)->toolTip(), QString());
        EXPECT_EQ(accessibleName(window->view().statusLabel()), QString());
        EXPECT_TRUE(checkInvariants(window->game()).isEmpty()) << checkInvariants(window->game()).toStdString();
        // Every row is packed against the right edge.
        for (int row = 0; row < kRows; ++row) {
            bool seenTile = false;
            for (int col = 0; col < kColumns; ++col) {
                const bool shown = window->view().tile(col * kRows + row)->isVisible();
                EXPECT_FALSE(seenTile && !shown) << "gap in row " << row;
                seenTile = seenTile || shown;
            }
        }
        EXPECT_TRUE(window->isEnabled());
        // Keep a picture of a board in play when asked to (for the README).
        if (board == 0 && qEnvironmentVariableIsSet("HOROKATA_SHOT_DIR")) {
            const std::vector<int> more = tilesSpelling(window->game().hiddenIdioms()[2]);
            for (int i : more)
                click(window->view().tile(i));
            click(window->view().tile(visibleTiles().back()));
            window->grab().save(qEnvironmentVariable("HOROKATA_SHOT_DIR") + QStringLiteral("/board.png"));
            click(window->view().tile(visibleTiles().back()), Qt::RightButton);
        }
    }
    std::sort(clearMs.begin(), clearMs.end());
    std::printf("clearing with movement in the real window: median %lld ms (min %lld, max %lld)\n",
                static_cast<long long>(clearMs[clearMs.size() / 2]), static_cast<long long>(clearMs.front()),
                static_cast<long long>(clearMs.back()));
}

TEST_F(RealWindow, ALevelIdiomSpelledInTheOtherOrderOfAHiddenOneIsAFind)
{
    // The beginner list holds 息災延命 and 延命息災. A board that hides the first of them and
    // not the second is left in a records file to resume, as a player's board would be.
    const std::vector<Idiom> whole = window->game().idiomList();
    const QString hidden = QStringLiteral("息災延命");
    const QString other = QStringLiteral("延命息災");
    DealtBoard dealt;
    dealt.strGOKU[0] = hidden;
    bool listed = false;
    int k = 1;
    for (std::size_t n = 1; n < whole.size(); ++n) {
        listed = listed || whole[n] == other;
        if (k < kIdioms && !(whole[n] == hidden) && !(whole[n] == other))
            dealt.strGOKU[static_cast<std::size_t>(k++)] = QString(whole[n]);
    }
    ASSERT_TRUE(listed) << "延命息災 is not in the beginner list";
    // The idioms' characters in reading order, row by row.
    for (int p = 0; p < kCells; ++p)
        dealt.strMOJI[static_cast<std::size_t>(cellIndex(p % kColumns, p / kColumns))] =
            dealt.strGOKU[static_cast<std::size_t>(p / 4)].mid(p % 4, 1);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("records.sqlite"));
    {
        RecordsStore store;
        ASSERT_EQ(store.open(file).status, OpenOutcome::Status::Ok);
        const DealIds ids = store.recordDeal(dealt);
        SavedBoard b;
        b.boardId = ids.boardId;
        b.attemptId = ids.attemptId;
        b.strMOJI = b.captions = dealt.strMOJI;
        b.strGOKU = dealt.strGOKU;
        b.intMOJI.fill(true);
        ASSERT_TRUE(store.saveResume(b));
    }
    window->close();
    window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
    window->records().use(file);
    ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
    QCoro::waitFor(window->records().open());
    ASSERT_TRUE(window->game().playing());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    const std::vector<int> tiles = tilesSpelling(other);
    ASSERT_EQ(pickOf(tiles), other);
    for (int i : tiles)
        click(window->view().tile(i));
    EXPECT_EQ(visibleTiles().size(), 76u);
    for (int h = 0; h < kLamps; ++h)
        EXPECT_TRUE(window->view().lamp(h)->isVisible()) << "a lamp went out";
    EXPECT_EQ(accessibleName(window->view().line(0)), QStringLiteral("01：") + other);
    const QStringList card = accessibleDescription(window->view().line(0)).split(QLatin1Char('\n'));
    ASSERT_EQ(card.size(), 3);
    EXPECT_EQ(card[0], other);
    EXPECT_TRUE(card[1].contains(QStringLiteral("えんめいそくさい"))) << card[1].toStdString();
    EXPECT_TRUE(checkInvariants(window->game()).isEmpty()) << checkInvariants(window->game()).toStdString();
}

TEST_F(RealWindow, ThreeMissesShowTheRegretLineAndRevealTheIdioms)
{
    deal();
    std::set<QString> hidden;
    for (int k = 1; k <= kIdioms; ++k)
        hidden.insert(window->game().hiddenIdioms()[static_cast<std::size_t>(k)]);
    for (int miss = 0; miss < 3; ++miss) {
        // Four tiles whose characters spell no hidden idiom.
        std::vector<int> v = visibleTiles();
        std::vector<int> pick;
        for (std::size_t start = 0; start + 4 <= v.size(); ++start) {
            pick.assign(v.begin() + static_cast<long>(start), v.begin() + static_cast<long>(start) + 4);
            if (!hidden.count(pickOf(pick)))
                break;
        }
        for (int i : pick)
            click(window->view().tile(i));
        if (miss < 2) {
            EXPECT_EQ(visibleTiles().size(), 80u);
            EXPECT_EQ(window->view().lamp(2 - miss)->isVisible(), false);
        }
    }
    QString row;
    for (int i : kMessageCells)
        row += accessibleName(window->view().tile(i));
    EXPECT_EQ(row, QStringLiteral("…残念至極…"));
    EXPECT_EQ(visibleTiles().size(), 6u);
    for (int h = 0; h < kLamps; ++h)
        EXPECT_FALSE(window->view().lamp(h)->isVisible());
    for (int k = 0; k < kIdioms; ++k) {
        EXPECT_EQ(accessibleName(window->view().line(k)), lineNumber(k) + window->game().hiddenIdioms()[static_cast<std::size_t>(k + 1)]);
        EXPECT_TRUE(window->view().line(k)->styleSheet().contains(QStringLiteral("#000000"))) << "line " << k << " not black";
        EXPECT_TRUE(accessibleDescription(window->view().line(k))
                        .startsWith(window->game().hiddenIdioms()[static_cast<std::size_t>(k + 1)] + QLatin1Char('\n')))
            << "line " << k << " revealed without its card";
    }
    // The next click brings the replay prompt.
    click(window->view().tile(19));
    row.clear();
    for (int i : kMessageCells)
        row += accessibleName(window->view().tile(i));
    EXPECT_EQ(row, QStringLiteral("再度？新規？"));
    // Replaying the board clears the lines and their cards.
    click(window->view().tile(19));
    for (int k = 0; k < kIdioms; ++k) {
        EXPECT_EQ(accessibleName(window->view().line(k)), lineNumber(k));
        EXPECT_EQ(accessibleDescription(window->view().line(k)), QString()) << "line " << k;
    }
}

TEST_F(RealWindow, ACompletedBoardPlaysTheCelebrationAndReturnsToTheTitle)
{
    deal();
    for (int k = 1; k <= kIdioms; ++k) {
        const std::vector<int> tiles = tilesSpelling(window->game().hiddenIdioms()[static_cast<std::size_t>(k)]);
        ASSERT_EQ(tiles.size(), 4u);
        for (int i : tiles)
            click(window->view().tile(i));
    }
    QString row;
    for (int i : kMessageCells)
        row += accessibleName(window->view().tile(i));
    EXPECT_EQ(row, QStringLiteral("！拍手喝采！"));
    const int before = static_cast<int>(QApplication::topLevelWidgets().size());
    // Halfway through the effect, the screen shows sprites over the captured desktop: the
    // main window's surroundings are still there, its centre is painted over.
    QScreen *screen = QGuiApplication::primaryScreen();
    const QImage desktop = screen->grabWindow(0).toImage();
    QImage during;
    bool effectShown = false;
    QTimer::singleShot(2500, [&] {
        during = screen->grabWindow(0).toImage();
        for (QWidget *w : QApplication::topLevelWidgets())
            effectShown = effectShown || (w != window.get() && w->isVisible() && w->geometry() == screen->geometry());
    });
    click(window->view().tile(19));
    ASSERT_FALSE(during.isNull());
    EXPECT_TRUE(effectShown) << "no full-screen effect window during the celebration";
    const QPoint centre = window->geometry().center();
    int changed = 0;
    for (int dy = -40; dy <= 40; dy += 8)
        for (int dx = -40; dx <= 40; dx += 8)
            changed += desktop.pixel(centre + QPoint(dx, dy)) != during.pixel(centre + QPoint(dx, dy));
    EXPECT_GT(changed, 40) << "no sprites drawn at the centre";
    // Sprites fly in every direction, but most of the screen still shows the capture.
    int same = 0, samples = 0;
    for (int y = 4; y < desktop.height(); y += 16)
        for (int x = 4; x < desktop.width(); x += 16, ++samples)
            same += desktop.pixel(x, y) == during.pixel(x, y);
    EXPECT_GT(same, samples / 4) << "the captured desktop is not shown beneath the sprites";
    if (qEnvironmentVariableIsSet("HOROKATA_SHOT_DIR"))
        during.save(qEnvironmentVariable("HOROKATA_SHOT_DIR") + QStringLiteral("/celebration.png"));
    row.clear();
    for (int i : kMessageCells)
        row += accessibleName(window->view().tile(i));
    EXPECT_EQ(row, QStringLiteral("＊ホロカタ＊"));
    EXPECT_EQ(visibleTiles().size(), 80u);
    EXPECT_TRUE(window->isEnabled());
    int visibleTops = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        visibleTops += w->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleTops, 1) << "only the main window is left on screen";
    EXPECT_LE(static_cast<int>(QApplication::topLevelWidgets().size()), before);
}

// A level chosen in the menu whose list fails to read closes the program from inside the
// flow that chose it, after the read-error box: nothing may run on the deleted popups (the
// sanitizer pass reports any use of freed memory).
TEST(RealWindowShutdown, AReadErrorChosenFromTheLevelMenuClosesTheProgramSafely)
{
    qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
    QTemporaryDir folder;
    const QString built = QStringLiteral(HOROKATA_PROGRAM_DIR "/");
    for (const char *name : {"初級.txt", "msg.rgn"})
        ASSERT_TRUE(QFile::copy(built + QString::fromUtf8(name), folder.filePath(QString::fromUtf8(name))));
    // 200 idioms with LF line ends: more entries than a file of that size may hold.
    QFile beginner(built + QStringLiteral("初級.txt"));
    ASSERT_TRUE(beginner.open(QIODevice::ReadOnly));
    const QByteArray idiom = beginner.readLine().trimmed();
    QFile broken(folder.filePath(QStringLiteral("一般.txt")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    for (int i = 0; i < 200; ++i)
        broken.write(idiom + "\n");
    broken.close();

    ProgramState globals;
    QtPlatform platform;
    auto window = std::make_unique<MainWindow>(globals, platform, folder.path());
    platform.beforeEvents = [&window] { window->sync(); };
    ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    QString message;
    QTimer::singleShot(400, [&] {
        // The read-error box is up while the menu's click handler is still running.
        QTimer::singleShot(400, [&] {
            if (auto *dialog = window->findChild<ConfirmDialog *>(); dialog && dialog->isVisible()) {
                message = dialog->messageText();
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cmdOK")), Qt::LeftButton);
            }
        });
        auto *menu = window->findChild<LevelMenu *>();
        ASSERT_TRUE(menu && menu->isVisible()) << "the level menu did not open";
        QTest::mouseClick(menu->entry(1), Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    });
    QTest::mouseClick(window->button("cmdSELECT"), Qt::LeftButton);
    for (int i = 0; i < 50 && window->isVisible(); ++i)
        QTest::qWait(100);
    EXPECT_EQ(message, QStringLiteral("＜一般＞ 読み込みエラー！ ＝ 強制終了！"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->flowRunning());
    EXPECT_EQ(window->game().idiomCount(), 0);
    // The popups are gone with the close.
    EXPECT_EQ(window->findChild<LevelMenu *>(), nullptr);
    EXPECT_EQ(window->findChild<ConfirmDialog *>(), nullptr);
    window.reset();
}

} // namespace
