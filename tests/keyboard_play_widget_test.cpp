// Where the keyboard focus goes on the main window: over vanished cells, after tiles moved,
// round the title bar, board and lamps, and nowhere visible after a click.
#include "main_window/main_window.h"
#include "platform/fake_platform.h"

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
        window = std::make_unique<MainWindow>(globals, platform, dir.path());
        platform.onEvents = [this] { window->sync(); };
        ASSERT_TRUE(window->Form_Load());
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
            if (window->tile(i)->hasFocus())
                return i;
        return -1;
    }
    void hideCell(int i)
    {
        window->game().model().MOJI[static_cast<std::size_t>(i)].Visible = false;
        window->game().intMOJI[static_cast<std::size_t>(i)] = 0;
    }

    QTemporaryDir dir;
    Module1 globals;
    FakePlatform platform;
    std::unique_ptr<MainWindow> window;
};

TEST_F(KeyboardFocus, ArrowsSkipVanishedCellsAndTheFrameKeepsToAShowingTile)
{
    key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(window->game().blnPLAY);
    EXPECT_EQ(framedTile(), -1) << "a frame before any arrow";
    key(Qt::Key_Down);
    ASSERT_EQ(framedTile(), 0) << "the first arrow shows the frame where it is";
    key(Qt::Key_Down);
    ASSERT_EQ(framedTile(), 1);

    // Column 1 of row 1 is empty: Right jumps over it; Left comes back over it.
    hideCell(9);
    window->sync();
    key(Qt::Key_Right);
    EXPECT_EQ(framedTile(), 17);
    key(Qt::Key_Left);
    EXPECT_EQ(framedTile(), 1);
    // Nothing further left: the frame stays.
    key(Qt::Key_Left);
    EXPECT_EQ(framedTile(), 1);

    // The framed tile vanishes: the frame goes to the nearest tile still showing.
    hideCell(1);
    window->sync();
    EXPECT_EQ(framedTile(), 0);

    // A found idiom picked from the keys: its tiles vanish and the rest close up while the
    // window is disabled; afterwards the frame is on a showing tile again, on its own cell
    // when a tile moved into it.
    key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(framedTile(), 0);
    const QString idiom = window->game().strGOKU[1];
    std::vector<int> cells;
    for (QChar ch : idiom)
        for (int i = 0; i < kCells; ++i)
            if (window->game().strMOJI[static_cast<std::size_t>(i)] == QString(ch)
                && std::find(cells.begin(), cells.end(), i) == cells.end()) {
                cells.push_back(i);
                break;
            }
    ASSERT_EQ(cells.size(), 4u);
    for (int c : cells) {
        while (framedTile() != c) {
            const int at = framedTile();
            ASSERT_GE(at, 0);
            key(rowOf(c) != rowOf(at) ? (rowOf(c) < rowOf(at) ? Qt::Key_Up : Qt::Key_Down)
                                      : (columnOf(c) < columnOf(at) ? Qt::Key_Left : Qt::Key_Right));
        }
        key(c == cells.back() ? Qt::Key_Return : Qt::Key_Space);
    }
    ASSERT_EQ(window->game().intGOT, 1);
    ASSERT_TRUE(window->isEnabled());
    const int at = framedTile();
    ASSERT_GE(at, 0) << "no tile has the focus after the tiles moved";
    EXPECT_TRUE(window->game().model().MOJI[static_cast<std::size_t>(at)].Visible);
    if (window->game().intMOJI[static_cast<std::size_t>(cells.back())]) {
        EXPECT_EQ(at, cells.back());
    }
    EXPECT_EQ(window->tile(at)->accessibleDescription(), window->line(0)->text());
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

    // A miss puts out lamp 2 under the focus: it goes to lamp 1, and Tab skips the dark lamp.
    window->game().model().MOJI[0].Value = 1;
    window->game().strPICK = QStringLiteral("xxxx");
    window->game().SET_OUT();
    window->sync();
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("chkLIFE_1"));
    EXPECT_EQ(window->lamp(1)->accessibleDescription(), QStringLiteral("あと ２回"));
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdMENU"));
}

TEST_F(KeyboardFocus, AClickLeavesNoFrame)
{
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    key(Qt::Key_N, Qt::ControlModifier);
    key(Qt::Key_Right);
    ASSERT_EQ(framedTile(), 0);
    QTest::mouseClick(window->tile(20), Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
    EXPECT_EQ(framedTile(), -1);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    EXPECT_TRUE(window->tile(20)->isChecked());

    // A button reached with Tab loses its frame to a click elsewhere, too.
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdMENU"));
    QTest::mouseClick(window->tile(21), Qt::LeftButton, Qt::NoModifier, QPoint(24, 24));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("cmdFOCUS"));
    // The arrows start again from the tile last clicked.
    key(Qt::Key_Up);
    EXPECT_EQ(framedTile(), 21);
}

} // namespace
