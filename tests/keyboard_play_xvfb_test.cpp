// A whole game on the real window with real key events (xdotool) and no pointer at all:
// deal, three misses, replay from the prompt, pick and take back, clear the board up to the
// celebration, switch level from the menu, quit.
#include "main_window/main_window.h"
#include "platform_qt/qt_platform.h"
#include "popups/level_menu.h"
#include "support/arrow_path.h"
#include "support/game_invariants.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <set>

using namespace horokata;

namespace {

class KeyboardPlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
        window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
        platform.beforeEvents = [this] { window->sync(); };
        ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Real key events from the X server, to whichever window has the input focus.
    static void press(const QStringList &keys)
    {
        if (keys.isEmpty())
            return;
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), QStringList{QStringLiteral("key"), QStringLiteral("--delay"),
                                                                          QStringLiteral("15")} + keys),
                  0);
    }
    template <typename F>
    static bool waitFor(F done, int ms = 10000)
    {
        return QTest::qWaitFor(done, ms);
    }
    bool idle() const { return window->isEnabled() && !window->flowRunning(); }

    const BoardModel &model() const { return window->game().model(); }
    QString focusedName() const
    {
        QWidget *f = QApplication::focusWidget();
        return f ? f->accessibleName() : QString();
    }
    QString news() const
    {
        QWidget *f = QApplication::focusWidget();
        return f ? f->accessibleDescription() : QString();
    }
    QString messageRow() const
    {
        QString row;
        for (int i : kMessageCells)
            row += window->view().tile(i)->accessibleName();
        return row;
    }

    // Moves the frame to `cell` and presses the tile with Space (or Enter).
    void pressTile(int cell, const char *key = "space")
    {
        // A showing tile the arrows cannot reach is a failure.
        const std::optional<QStringList> arrows = arrowPath(model(), window->keys().cell(), cell);
        ASSERT_TRUE(arrows) << "cell " << cell << " cannot be reached";
        press(*arrows);
        ASSERT_TRUE(waitFor([&] { return window->view().tile(cell)->hasFocus(); })) << "frame did not reach cell " << cell;
        press({QString::fromLatin1(key)});
    }

    std::vector<int> showingTiles() const
    {
        std::vector<int> out;
        for (int i = 0; i < kCells; ++i)
            if (model().MOJI[static_cast<std::size_t>(i)].Visible)
                out.push_back(i);
        return out;
    }

    std::vector<int> tilesSpelling(const QString &idiom) const
    {
        std::vector<int> picked;
        for (QChar ch : idiom)
            for (int i : showingTiles())
                if (window->view().tile(i)->accessibleName() == QString(ch)
                    && std::find(picked.begin(), picked.end(), i) == picked.end()) {
                    picked.push_back(i);
                    break;
                }
        return picked;
    }

    ProgramState globals;
    QtPlatform platform;
    std::unique_ptr<MainWindow> window;
};

TEST_F(KeyboardPlay, AWholeGameWithoutThePointer)
{
    // Deal; the arrows pressed while the board is dealt are dropped, not played afterwards.
    press({QStringLiteral("ctrl+n"), QStringLiteral("Right"), QStringLiteral("Right"), QStringLiteral("Down")});
    ASSERT_TRUE(waitFor([&] { return window->game().playing() && idle(); }));
    QTest::qWait(200);
    EXPECT_EQ(window->keys().area(), KeyArea::None);
    EXPECT_EQ(showingTiles().size(), 80u);
    // The first arrow shows the frame on the board without moving it.
    press({QStringLiteral("Right")});
    ASSERT_TRUE(waitFor([&] { return window->view().tile(0)->hasFocus(); }));
    EXPECT_EQ(window->keys().area(), KeyArea::Board);

    // Three misses, picked with Space and Enter by turns.
    std::set<QString> hidden;
    for (int k = 1; k <= kIdioms; ++k)
        hidden.insert(window->game().hiddenIdioms()[static_cast<std::size_t>(k)]);
    for (int miss = 1; miss <= 3; ++miss) {
        std::vector<int> pick;
        for (int start = 0; start + 4 <= kCells; ++start) {
            pick = {start, start + 1, start + 2, start + 3};
            QString s;
            for (int i : pick)
                s += window->view().tile(i)->accessibleName();
            if (!hidden.count(s))
                break;
        }
        for (int i : pick)
            pressTile(i, i % 2 ? "Return" : "space");
        ASSERT_TRUE(waitFor([&] { return window->game().misses() == miss && idle(); }));
        if (miss < 3) {
            // The focused tile tells how many misses are left.
            EXPECT_EQ(news(), QString::fromUtf8(kLampTips[static_cast<std::size_t>(2 - miss)]));
            EXPECT_EQ(window->view().statusLabel()->accessibleName(), QString());
        }
    }
    ASSERT_TRUE(waitFor([&] { return window->game().overStage() == 1; }));
    EXPECT_EQ(messageRow(), QStringLiteral("…残念至極…"));
    // The frame went to the nearest tile still showing, which tells of the lost board.
    ASSERT_TRUE(waitFor([&] { return news() == QStringLiteral("…残念至極…"); })) << news().toStdString();
    EXPECT_TRUE(std::find(kMessageCells.begin(), kMessageCells.end(), window->keys().cell()) != kMessageCells.end());

    // Space brings the prompt; Space on 再 lays the same board out again.
    press({QStringLiteral("space")});
    ASSERT_TRUE(waitFor([&] { return window->game().overStage() == 2; }));
    EXPECT_EQ(messageRow(), QStringLiteral("再度？新規？"));
    pressTile(19);
    ASSERT_TRUE(waitFor([&] { return window->game().playing() && idle(); }));
    for (int i = 0; i < kCells; ++i)
        ASSERT_EQ(window->view().tile(i)->accessibleName(), window->game().dealtCharacters()[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(window->view().tile(19)->hasFocus());

    // Pick two tiles and take them back with Escape, then one with BackSpace.
    pressTile(40);
    pressTile(41, "Return");
    ASSERT_TRUE(waitFor([&] { return window->view().statusLabel()->accessibleName().size() == 2; }));
    EXPECT_TRUE(window->view().tile(40)->isChecked());
    press({QStringLiteral("Escape")});
    ASSERT_TRUE(waitFor([&] { return window->view().statusLabel()->accessibleName().isEmpty(); }));
    EXPECT_FALSE(window->view().tile(40)->isChecked());
    pressTile(50);
    ASSERT_TRUE(waitFor([&] { return window->game().pickCount() == 1; }));
    press({QStringLiteral("BackSpace")});
    ASSERT_TRUE(waitFor([&] { return window->game().pickCount() == 0; }));
    // A mouse pick leaves no focus frame; Escape takes it back all the same.
    QTest::mouseClick(window->view().tile(50), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return window->game().pickCount() == 1 && idle(); }));
    press({QStringLiteral("Escape")});
    ASSERT_TRUE(waitFor([&] { return window->game().pickCount() == 0; }));
    press({QStringLiteral("Left")}); // the first arrow shows the frame where it was
    ASSERT_TRUE(waitFor([&] { return window->view().tile(50)->hasFocus(); }));

    // Find every idiom; each find is told on the focused tile, which keeps to a showing tile.
    for (int k = 1; k <= kIdioms; ++k) {
        const std::vector<int> tiles = tilesSpelling(window->game().hiddenIdioms()[static_cast<std::size_t>(k)]);
        ASSERT_EQ(tiles.size(), 4u) << "idiom " << k;
        for (int i : tiles)
            pressTile(i);
        ASSERT_TRUE(waitFor([&] { return window->game().foundCount() == k && idle(); })) << "idiom " << k;
        ASSERT_TRUE(horokata::testing::checkInvariants(window->game()).isEmpty() || k == kIdioms);
        const QString line = window->view().line(k - 1)->accessibleName();
        ASSERT_TRUE(waitFor([&] { return news().startsWith(line); })) << "idiom " << k << ": " << news().toStdString();
        ASSERT_TRUE(model().MOJI[static_cast<std::size_t>(window->keys().cell())].Visible);
    }
    EXPECT_EQ(messageRow(), QStringLiteral("！拍手喝采！"));
    EXPECT_TRUE(news().endsWith(QStringLiteral("！拍手喝采！"))) << news().toStdString();

    // Space plays the celebration; the keys come back to the title board afterwards.
    press({QStringLiteral("space")});
    ASSERT_TRUE(waitFor([&] { return window->game().clearStage() == 0 && idle() && messageRow() == QStringLiteral("＊ホロカタ＊"); },
                        30000));
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(window->view().tile(window->keys().cell())->hasFocus());

    // Ctrl+L opens the level menu; Down and Enter choose 一般, which deals at once. The menu
    // runs its own loop, so its keys are sent from within it; should they fail, it is closed
    // so that the test fails instead of waiting for ever.
    bool menuShown = false;
    QTimer::singleShot(300, window.get(), [&] {
        auto *menu = window->findChild<LevelMenu *>();
        menuShown = menu && menu->isVisible();
        press({QStringLiteral("Down"), QStringLiteral("Return")});
        QTimer::singleShot(5000, window.get(), [&] {
            if (auto *m = window->findChild<LevelMenu *>(); m && m->isVisible())
                m->hide();
        });
    });
    press({QStringLiteral("ctrl+l")});
    ASSERT_TRUE(waitFor([&] { return globals.level() == 1 && window->game().playing() && idle(); }));
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(window->view().levelLabel()->accessibleName(), QStringLiteral("＜一般＞"));

    // Ctrl+Q quits.
    press({QStringLiteral("ctrl+q")});
    EXPECT_TRUE(waitFor([&] { return !window->isVisible(); }));
}

} // namespace
