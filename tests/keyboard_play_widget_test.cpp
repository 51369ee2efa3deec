// Where the keyboard focus goes on the main window: over vanished cells, after tiles moved,
// round the title bar, board and lamps, and nowhere visible after a click.
#include "main_window/main_window.h"
#include "support/fake_platform.h"
#include "support/scripted_popups.h"
#include "popups/help_window.h"
#include "support/arrow_path.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

class KeyboardFocus : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString built = QStringLiteral(HOROKATA_PROGRAM_DIR);
        for (const char *name : {"初級.txt", "msg.rgn"})
            QFile::copy(built + QLatin1Char('/') + QString::fromUtf8(name), dir.path() + QLatin1Char('/') + QString::fromUtf8(name));
        window = std::make_unique<MainWindow>(globals, platform, dir.path(), &popups);
        platform.onEvents = [this] { window->sync(); };
        ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A key goes where the application sends it: to the focused widget.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWidget *to = QApplication::focusWidget();
        QTest::keyClick(to ? to : window.get(), k, mods);
    }
    int framedTile() const
    {
        for (int i = 0; i < kCells; ++i)
            if (window->view().tile(i)->hasFocus())
                return i;
        return -1;
    }
    // Moves the frame with the arrow keys.
    void frameTo(int cell)
    {
        const std::optional<QStringList> path = arrowPath(window->game().model(), framedTile(), cell);
        ASSERT_TRUE(path) << "cell " << cell << " cannot be reached";
        for (const QString &k : *path)
            key(k == QLatin1String("Left") ? Qt::Key_Left : k == QLatin1String("Right") ? Qt::Key_Right
                : k == QLatin1String("Up") ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_EQ(framedTile(), cell);
    }
    bool showing(int cell) const { return window->game().model().MOJI[static_cast<std::size_t>(cell)].Visible; }

    QTemporaryDir dir;
    ProgramState globals;
    FakePlatform platform;
    horokata::testing::ScriptedPopups popups; // the give-up question answered yes
    std::unique_ptr<MainWindow> window;
};

TEST_F(KeyboardFocus, TheFrameKeepsToShowingTilesAndJumpsOverEmptyCells)
{
    key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(window->game().playing());
    EXPECT_EQ(framedTile(), -1) << "a frame before any arrow";
    key(Qt::Key_Down);
    ASSERT_EQ(framedTile(), 0) << "the first arrow shows the frame where it is";
    key(Qt::Key_Down);
    ASSERT_EQ(framedTile(), 1);

    // A found idiom picked from the keys: its tiles vanish and the rest close up while the
    // window is disabled; afterwards the frame is on a showing tile again, on its own cell
    // when a tile moved into it.
    const QString idiom = window->game().hiddenIdioms()[1];
    std::vector<int> cells;
    for (QChar ch : idiom)
        for (int i = 0; i < kCells; ++i)
            if (window->game().dealtCharacters()[static_cast<std::size_t>(i)] == QString(ch)
                && std::find(cells.begin(), cells.end(), i) == cells.end()) {
                cells.push_back(i);
                break;
            }
    ASSERT_EQ(cells.size(), 4u);
    for (int c : cells) {
        frameTo(c);
        key(c == cells.back() ? Qt::Key_Return : Qt::Key_Space);
    }
    ASSERT_EQ(window->game().foundCount(), 1);
    ASSERT_TRUE(window->isEnabled());
    const int at = framedTile();
    ASSERT_GE(at, 0) << "no tile has the focus after the tiles moved";
    EXPECT_TRUE(showing(at));
    if (showing(cells.back())) {
        EXPECT_EQ(at, cells.back());
    }
    EXPECT_EQ(window->view().tile(at)->accessibleDescription(), window->view().line(0)->text());

    // The rows closed up to the right, leaving empty cells at their left ends: Down jumps
    // over an empty cell of a column to the next tile below it, and Up comes back.
    bool crossed = false;
    for (int col = 0; col < kColumns && !crossed; ++col)
        for (int row = 0; row + 2 < kRows && !crossed; ++row) {
            const int top = col * kRows + row;
            if (!showing(top) || showing(top + 1))
                continue;
            int below = top + 2;
            while (rowOf(below) > 0 && !showing(below))
                ++below;
            if (rowOf(below) == 0)
                continue;
            frameTo(top);
            key(Qt::Key_Down);
            EXPECT_EQ(framedTile(), below);
            key(Qt::Key_Up);
            EXPECT_EQ(framedTile(), top);
            crossed = true;
        }
    EXPECT_TRUE(crossed) << "no column with an empty cell between two tiles on this board";
}

TEST_F(KeyboardFocus, TabGoesRoundButtonsBoardAndTheLampsThatShow)
{
    key(Qt::Key_N, Qt::ControlModifier);
    QStringList order;
    for (int n = 0; n < 10; ++n) {
        key(Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(u' '), QStringLiteral("cmdMENU cmdEXIT cmdRESET cmdSELECT cmdNEW MOJI_0 chkLIFE_0 chkLIFE_1 "
                                               "chkLIFE_2 cmdMENU"));
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("chkLIFE_2"));

    // Space on the lamp gives up (the question answered はい): the lamps go out under the
    // focus, which goes on to the board and tells of the lost board.
    key(Qt::Key_Space);
    ASSERT_EQ(window->game().overStage(), 1);
    const int at = framedTile();
    ASSERT_GE(at, 0);
    EXPECT_EQ(window->view().tile(at)->text(), window->game().model().MOJI[static_cast<std::size_t>(at)].Caption);
    EXPECT_EQ(window->view().tile(at)->accessibleDescription(), QStringLiteral("…残念至極…"));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdMENU")) << "a dark lamp took the focus";
}

TEST_F(KeyboardFocus, AClickLeavesNoFrame)
{
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Right);
    ASSERT_EQ(framedTile(), 0);
    QTest::mouseClick(window->view().tile(20), Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
    EXPECT_EQ(framedTile(), -1);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    EXPECT_TRUE(window->view().tile(20)->isChecked());

    // A button reached with Tab loses its frame to a click elsewhere, too.
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdMENU"));
    QTest::mouseClick(window->view().tile(21), Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    // The arrows start again from the tile last clicked.
    key(Qt::Key_Up);
    EXPECT_EQ(framedTile(), 21);
}

TEST_F(KeyboardFocus, F1OpensTheHelpForAReaderAndEscapeClosesIt)
{
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Right);
    ASSERT_EQ(framedTile(), 0);
    key(Qt::Key_F1);
    auto *help = window->findChild<HelpWindow *>();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([help] { return QApplication::activeWindow() == help; }));
    // The focus is on the text, which a screen reader reads whole: the rules and the keys.
    QAccessibleInterface *focus = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
    ASSERT_TRUE(focus && focus->textInterface());
    EXPECT_EQ(focus->text(QAccessible::Name), QStringLiteral("遊び方"));
    const QString read = focus->textInterface()->text(0, focus->textInterface()->characterCount());
    for (const char *words : {"四字熟語が２０個", "Ctrl+N", "F5", "Ctrl+L", "Ctrl+Q", "Esc"})
        EXPECT_TRUE(read.contains(QString::fromUtf8(words))) << words;

    // Escape closes it and the keys are back on the board, where they were; F1 opens the same
    // window again.
    key(Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == window.get(); }));
    EXPECT_EQ(framedTile(), 0);
    key(Qt::Key_F1);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(window->findChildren<HelpWindow *>().size(), 1);
}

} // namespace
