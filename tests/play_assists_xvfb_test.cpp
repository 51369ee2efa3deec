// The pause and the hints on the real window, driven by real keys (xdotool): the clock
// stands while paused, no tile's character is left for a screen reader, a hint's reading is
// told and its second hint marks a tile.
#include "main_window/main_window.h"
#include "main_window/play_assists.h"
#include "main_window/tile_button.h"
#include "platform_qt/qt_platform.h"
#include "popups/confirm_dialog.h"
#include "records/records_store.h"
#include "puzzle/saved_board.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

void press(const char *key)
{
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(key)}), 0);
}

TEST(PlayAssists, PauseHidesTheBoardAndStopsTheClockAndHintsTellThenMark)
{
    qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
    QTemporaryDir dir;
    ProgramState globals;
    QtPlatform platform;
    auto window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
    platform.beforeEvents = [&] { window->sync(); };
    window->records().use(dir.filePath(QStringLiteral("records.sqlite")));
    ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
    QCoro::waitFor(window->records().open());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QAction *pause = window->assists().pauseAction();

    // Outside play the pause does nothing.
    press("p");
    QTest::qWait(100);
    EXPECT_FALSE(pause->isChecked());
    EXPECT_FALSE(window->game().paused());

    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->flowRunning() && window->game().playing(); }, 20000));
    QLabel *clock = window->view().clockLabel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return accessibleName(clock) == QStringLiteral("時間 0:01"); }, 3000));

    press("p");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().paused(); }, 2000));
    EXPECT_TRUE(pause->isChecked());
    EXPECT_TRUE(window->assists().cover()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), window->assists().cover());
    for (int i = 0; i < kCells; ++i) {
        EXPECT_TRUE(accessibleName(window->view().tile(i)).isEmpty()) << i;
        EXPECT_FALSE(window->view().tile(i)->isVisible()) << i;
    }
    const QString stood = accessibleName(clock);
    QTest::qWait(1300);
    EXPECT_EQ(accessibleName(clock), stood);
    // Keys that would play do nothing under the cover; Enter goes on.
    press("Right");
    press("Return");
    QTest::qWait(200);
    EXPECT_FALSE(window->game().paused());
    EXPECT_EQ(window->game().pickCount(), 0);
    EXPECT_FALSE(window->assists().cover()->isVisible());
    EXPECT_EQ(accessibleName(window->view().tile(0)), window->game().model().MOJI[0].Caption);
    EXPECT_TRUE(QTest::qWaitFor([&] { return accessibleName(clock) != stood; }, 2500));

    // The first hint tells a reading, the second marks a tile.
    press("h");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().hintCount() == 1; }, 2000));
    const QString status = accessibleName(window->view().statusLabel());
    EXPECT_FALSE(status.isEmpty());
    EXPECT_NE(status, QStringLiteral("＊新規開始＊"));
    EXPECT_TRUE(QApplication::focusWidget()->accessibleDescription().contains(status));
    EXPECT_EQ(accessibleName(window->view().hintLabel()), QStringLiteral("ヒント 1"));
    press("h");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().hintCount() == 2; }, 2000));
    int marked = 0;
    for (int i = 0; i < kCells; ++i)
        marked += window->view().tile(i)->hinted() ? 1 : 0;
    EXPECT_EQ(marked, 1);

    // A new board dealt while paused is not paused, and its clock runs.
    press("p");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().paused(); }, 2000));
    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->flowRunning() && window->game().playing(); }, 20000));
    EXPECT_FALSE(window->game().paused());
    EXPECT_EQ(window->game().hintCount(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return accessibleName(clock) == QStringLiteral("時間 0:01"); }, 3000));
    press("h");
    press("h");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().hintCount() == 2; }, 2000));

    // Minimising pauses; the board comes back paused, the count kept.
    window->showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->game().paused(); }, 2000));
    EXPECT_EQ(window->game().savedBoard().hints, 2);
    EXPECT_TRUE(window->game().savedBoard().paused);
    window->close();
}

// Records as a player earns them: a lost board replayed and won is practice, and a board won
// after a hint counts as won but not as ノーミス, nor as a best time.
TEST(PlayAssists, PracticeAndHintedWinsAreNoCleanRecords)
{
    qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
    QTemporaryDir dir;
    ProgramState globals;
    QtPlatform platform;
    auto window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
    platform.beforeEvents = [&] { window->sync(); };
    window->records().use(dir.filePath(QStringLiteral("records.sqlite")));
    ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
    QCoro::waitFor(window->records().open());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto click = [&](QWidget *w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->flowRunning(); }, 20000));
    };
    const auto winBoard = [&] {
        for (int k = 1; k <= kIdioms; ++k) {
            if (window->game().foundFlags()[std::size_t(k)])
                continue;
            std::vector<int> picked;
            for (QChar ch : window->game().hiddenIdioms()[std::size_t(k)])
                for (int i = 0; i < kCells; ++i)
                    if (window->view().tile(i)->isVisible() && accessibleName(window->view().tile(i)) == QString(ch)
                        && std::find(picked.begin(), picked.end(), i) == picked.end()) {
                        picked.push_back(i);
                        break;
                    }
            ASSERT_EQ(picked.size(), 4u);
            for (int i : picked)
                click(window->view().tile(i));
        }
    };
    const auto level = [&] { return window->records().store().summary().levels[0]; };

    click(window->button("cmdNEW"));
    for (int i : {0, 1, 2, 3}) // four tiles down a column: a miss
        click(window->view().tile(i));
    ASSERT_EQ(window->game().misses(), 1);
    QTimer::singleShot(300, [&] { window->findChild<ConfirmDialog *>()->cmdOK_Click(); });
    click(window->view().lamp(0)); // given up: a loss
    ASSERT_EQ(window->game().phase(), BoardPhase::Lost);
    click(window->view().tile(19)); // the replay prompt
    click(window->view().tile(19)); // 再度
    ASSERT_TRUE(window->game().playing());
    EXPECT_EQ(accessibleName(window->view().levelLabel()), QStringLiteral("練習　＜初級＞"));
    winBoard();
    EXPECT_EQ(level().played, 1);
    EXPECT_EQ(level().won, 0);

    click(window->button("cmdNEW"));
    EXPECT_EQ(accessibleName(window->view().levelLabel()), QStringLiteral("＜初級＞"));
    press("h");
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->game().hintCount() == 1; }, 2000));
    winBoard();
    EXPECT_FALSE(accessibleName(window->view().statusLabel()).contains(QStringLiteral("新記録")));
    EXPECT_EQ(level().played, 2);
    EXPECT_EQ(level().won, 1);
    EXPECT_EQ(level().noMiss, 0);
    EXPECT_FALSE(level().bestMs.has_value());
    EXPECT_EQ(window->records().store().summary().recent.front().hints, 1);
    window->close();
}

} // namespace
