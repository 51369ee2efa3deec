// The main window offscreen with a scripted platform: layout, start-up outcomes, window buttons.
#include "main_window/main_window.h"
#include "support/fake_platform.h"
#include "support/scripted_popups.h"
#include "platform_qt/fonts.h"
#include "support/ui_scale_guard.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace horokata;

namespace {

// A program folder holding what the game reads: the beginner list and the outline file.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withList = true, bool withOutline = true)
    {
        const QString built = QStringLiteral(HOROKATA_PROGRAM_DIR);
        if (withList)
            QFile::copy(built + QStringLiteral("/初級.txt"), dir.path() + QStringLiteral("/初級.txt"));
        if (withOutline)
            QFile::copy(built + QStringLiteral("/msg.rgn"), dir.path() + QStringLiteral("/msg.rgn"));
    }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
};

class MainWindowTest : public ::testing::Test {
protected:
    void open(const ProgramFolder &folder)
    {
        window = std::make_unique<MainWindow>(globals, platform, folder.path(), &popups);
        platform.onEvents = [this] { window->sync(); };
        popups.answer = [this](DialogMode mode, const QString &name) {
            dialogs << QStringLiteral("%1 %2").arg(static_cast<int>(mode)).arg(name);
            return true;
        };
        loaded = QCoro::waitFor(window->Form_Load());
    }

    // A board in play, dealt as the player deals one.
    void dealBoard()
    {
        QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
        ASSERT_TRUE(window->game().playing());
    }

    void mouse(QWidget *w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    void press(QWidget *w, QPoint at, QEvent::Type type)
    {
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    ProgramState globals;
    FakePlatform platform;
    horokata::testing::ScriptedPopups popups;
    std::unique_ptr<MainWindow> window;
    QStringList dialogs;
    bool loaded = false;
};

TEST_F(MainWindowTest, LaysOutTheControlsOfTheWindow)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(window->size(), QSize(610, 429));
    EXPECT_EQ(window->view().board()->geometry(), QRect(10, 34, 482, 386));
    // Tiles run down each column inside the board's one-pixel border.
    EXPECT_EQ(window->view().tile(0)->pos(), QPoint(1, 1));
    EXPECT_EQ(window->view().tile(8)->pos(), QPoint(1 + 48, 1));
    EXPECT_EQ(window->view().tile(7)->pos(), QPoint(1, 1 + 336));
    EXPECT_EQ(window->view().tile(79)->pos(), QPoint(1 + 432, 1 + 336));
    const struct { const char *name; const char *caption; const char *tip; QRect geo; } buttons[] = {
        {"cmdEXIT", "終了", "ソフト終了", QRect(16, 0, 89, 23)},
        {"cmdRESET", "再度", "リセット", QRect(104, 0, 81, 23)},
        {"cmdSELECT", "選択", "ファイル選択", QRect(184, 0, 81, 23)},
        {"cmdNEW", "新規", "新規ゲーム", QRect(264, 0, 81, 23)},
        {"cmdMENU", "", "バージョン情報", QRect(0, 0, 25, 23)},
    };
    for (const auto &b : buttons) {
        QPushButton *button = window->button(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.tip));
        EXPECT_EQ(button->geometry(), b.geo);
    }
    // 終了 covers the right nine pixels of the version button.
    EXPECT_TRUE(window->button("cmdEXIT")->geometry().intersects(window->button("cmdMENU")->geometry()));
    EXPECT_EQ(window->view().lamp(0)->toolTip(), QStringLiteral("あと １回"));
    EXPECT_EQ(window->view().lamp(2)->toolTip(), QStringLiteral("あと ３回"));
    EXPECT_EQ(window->view().line(19)->text(), QStringLiteral("20："));
    EXPECT_EQ(window->view().cover()->y(), 32);
    // Without the tile font installed the tiles use a bold gothic.
    if (!fontInstalled(QStringLiteral("CRＣ＆Ｇブーケ"))) {
        EXPECT_TRUE(window->view().tile(0)->font().bold());
    }
}

// At 150 % the game draws everything itself at that size: the window, 72-pixel tiles edge to
// edge inside the board's border, the fonts, and the places that presses are measured from.
TEST_F(MainWindowTest, LaysOutTheWindowAtTheChosenSize)
{
    const horokata::testing::ScopedUiScale scale(150);
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(window->size(), QSize(915, 644));
    const BoardView &view = window->view();
    const QRect inside = view.board()->contentsRect();
    EXPECT_EQ(view.tile(0)->size(), QSize(72, 72));
    EXPECT_EQ(view.tile(8)->x() - view.tile(0)->x(), 72);
    EXPECT_EQ(view.tile(1)->y() - view.tile(0)->y(), 72);
    EXPECT_TRUE(inside.contains(view.tile(0)->geometry()) && inside.contains(view.tile(79)->geometry()));
    EXPECT_EQ(view.lamp(2)->geometry(), QRect(120, 552, 26, 26));
    EXPECT_EQ(window->button("cmdNEW")->geometry(), QRect(396, 0, 122, 35));
    EXPECT_EQ(view.cover()->y(), 48);
    EXPECT_DOUBLE_EQ(view.line(0)->font().pointSizeF(), 11.25 * 1.5);

    window->move(100, 50);
    window->cmdSELECT_Press(QPoint(15, 8));
    EXPECT_EQ(globals.menuX(), (window->x() + 15 + 288) * kTwipsPerPixel);
    // The window buttons' halves and the gap between them, at their size on the screen.
    auto *sys = window->findChild<QLabel *>(QStringLiteral("imgSYS"));
    press(sys, QPoint(39, 10), QEvent::MouseButtonPress);
    EXPECT_FALSE(window->minimiseHeld());
    press(sys, QPoint(39, 10), QEvent::MouseButtonRelease);
    press(sys, QPoint(25, 10), QEvent::MouseButtonPress);
    EXPECT_TRUE(window->minimiseHeld());
}

TEST_F(MainWindowTest, StartUpReadsTheBeginnerListAndShowsReady)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(dialogs.isEmpty());
    EXPECT_EQ(window->view().levelLabel()->text(), QStringLiteral("＜初級＞"));
    EXPECT_EQ(window->view().statusLabel()->text(), QStringLiteral("準備完了"));
    EXPECT_EQ(window->view().statusLabel()->x(), window->view().levelLabel()->x() + window->view().levelLabel()->width() + 12);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(platform.busy);
    EXPECT_GE(window->game().idiomCount(), 20);
    // The window was disabled with the busy pointer while it loaded.
    EXPECT_TRUE(platform.log.contains(QStringLiteral("busy 1")));
}

TEST_F(MainWindowTest, MissingBeginnerListLeavesNoLevelAndNothingToDeal)
{
    ProgramFolder folder(false, true);
    open(folder);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("3 初級")});
    EXPECT_EQ(window->view().levelLabel()->text(), QStringLiteral("＜なし＞"));
    EXPECT_EQ(window->view().statusLabel()->text(), QStringLiteral("異常事態！"));
    EXPECT_TRUE(window->view().statusLabel()->styleSheet().contains(QStringLiteral("#00ff00")));
    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    EXPECT_FALSE(window->game().playing());
    EXPECT_EQ(window->view().tile(27)->text(), QStringLiteral("ホ"));
}

TEST_F(MainWindowTest, MissingOutlineFileEndsStartUpWithTroubleOne)
{
    ProgramFolder folder(true, false);
    open(folder);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(platform.log.contains(QStringLiteral("box エラー＝強制終了！|1 重大なトラブル発生！　　　　")))
        << platform.log.join(u'\n').toStdString();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, WindowButtonsMinimiseAndCloseOnRelease)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    auto *sys = window->findChild<QLabel *>(QStringLiteral("imgSYS"));
    ASSERT_NE(sys, nullptr);

    // The gap between the two buttons does nothing.
    for (int x : {18, 26, 34}) {
        press(sys, QPoint(x, 7), QEvent::MouseButtonPress);
        press(sys, QPoint(x, 7), QEvent::MouseButtonRelease);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isMinimized());
    }
    // Minimise acts on release even after the pointer left the button.
    press(sys, QPoint(17, 7), QEvent::MouseButtonPress);
    EXPECT_TRUE(window->minimiseHeld());
    press(sys, QPoint(-200, 40), QEvent::MouseButtonRelease);
    EXPECT_FALSE(window->minimiseHeld());
    EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("* ホロカタ *"));
    window->setWindowState(Qt::WindowNoState);
    window->resize(700, 500);
    window->setWindowState(Qt::WindowNoState);
    EXPECT_EQ(window->windowTitle(), QString());
    EXPECT_EQ(window->size(), QSize(610, 429));

    press(sys, QPoint(35, 7), QEvent::MouseButtonPress);
    EXPECT_TRUE(window->closeHeld());
    press(sys, QPoint(35, 7), QEvent::MouseButtonRelease);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, DragsFromTheTitleBarAndItsLabelsButNotFromTheBoard)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    auto drag = [&](QWidget *w, Qt::MouseButton button) {
        window->move(200, 200);
        const QPoint start = w->mapToGlobal(QPoint(3, 3));
        const QPoint end = start + QPoint(40, -25);
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(start), button, button, Qt::NoModifier);
        QApplication::sendEvent(w, &down);
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), QPointF(end), Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(w, &move);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(3, 3), QPointF(end), button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &up);
        return window->pos();
    };
    EXPECT_EQ(drag(window->findChild<QWidget *>(QStringLiteral("picBAR")), Qt::LeftButton), QPoint(240, 175));
    EXPECT_EQ(drag(window->view().levelLabel(), Qt::RightButton), QPoint(240, 175));
    EXPECT_EQ(drag(window->view().statusLabel(), Qt::LeftButton), QPoint(240, 175));
    EXPECT_EQ(drag(window->view().board(), Qt::LeftButton), QPoint(200, 200));
}

TEST_F(MainWindowTest, LevelMenuOpensBesideThePressOnSelect)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    window->move(100, 50);
    window->cmdSELECT_Press(QPoint(10, 5));
    EXPECT_EQ(globals.menuX(), (window->x() + 10 + 192) * kTwipsPerPixel);
    EXPECT_EQ(globals.menuY(), (window->y() + 5 + 8) * kTwipsPerPixel);
}

// A flow that fails is told once in the game's dialog; the window then takes input again as
// if the flow had ended.
TEST_F(MainWindowTest, AFlowThatFailsIsToldOnceAndTheWindowTakesInputAgain)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    bool thrown = false;
    platform.onEvents = [&] {
        window->sync();
        // The deal's first step, with the window shut and the busy pointer up.
        if (!thrown && platform.busy) {
            thrown = true;
            throw std::runtime_error("配り手の故障");
        }
    };
    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    ASSERT_TRUE(thrown);
    EXPECT_EQ(dialogs, QStringList{QString::number(static_cast<int>(DialogMode::FlowFault)) + QStringLiteral(" 配り手の故障")});
    EXPECT_FALSE(window->flowRunning());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(platform.busy);
    EXPECT_EQ(window->view().cover()->y(), 32);
    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    EXPECT_TRUE(window->game().playing());
    EXPECT_EQ(dialogs.size(), 1);
}

TEST_F(MainWindowTest, VersionButtonAsksInModeFiveAndCoversTheBar)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    int coverTop = -1;
    popups.answer = [&](DialogMode mode, const QString &) {
        coverTop = window->view().cover()->y();
        dialogs << QString::number(static_cast<int>(mode));
        return true;
    };
    QTest::mouseClick(window->button("cmdMENU"), Qt::LeftButton);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("5")});
    EXPECT_EQ(coverTop, 0);
    EXPECT_EQ(window->view().cover()->y(), 32);
    EXPECT_EQ(platform.count(QStringLiteral("beep")), 1);
}

TEST_F(MainWindowTest, AScreenReadersPressOnATitleButtonRunsItsOneCommand)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    int versions = 0;
    QObject::connect(window->command(MainWindow::kVersionCommand), &QAction::triggered, [&] { ++versions; });
    // The version button through its accessible press: its command, once.
    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(window->button("cmdMENU"));
    ASSERT_TRUE(button && button->actionInterface());
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(QTest::qWaitFor([&] { return versions > 0; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(versions, 1);
    EXPECT_EQ(dialogs, QStringList{QStringLiteral("5 ")});
    // 新規 the same way deals a board.
    QAccessibleInterface *deal = QAccessible::queryAccessibleInterface(window->button("cmdNEW"));
    deal->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->game().playing(); }, 2000));
}

TEST_F(MainWindowTest, LampsActOnTheReleaseOfAnyButtonOverThemOnly)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    QAbstractButton *lamp = window->view().lamp(1);
    const QPoint on(8, 8), off(8, -40);
    dealBoard();
    // A press taken off the lamp before its release gives nothing up.
    mouse(lamp, QEvent::MouseButtonPress, on, Qt::LeftButton, Qt::LeftButton);
    mouse(lamp, QEvent::MouseMove, off, Qt::NoButton, Qt::LeftButton);
    mouse(lamp, QEvent::MouseButtonRelease, off, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(dialogs.isEmpty()) << dialogs.join(u',').toStdString();
    // Every button asks on its release over the lamp.
    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton, Qt::LeftButton}) {
        dialogs.clear();
        dealBoard();
        mouse(lamp, QEvent::MouseButtonPress, on, b, b);
        EXPECT_TRUE(dialogs.isEmpty());
        mouse(lamp, QEvent::MouseButtonRelease, on, b, Qt::NoButton);
        EXPECT_EQ(dialogs.size(), 1) << "button " << int(b);
        EXPECT_TRUE(dialogs.value(0).startsWith(u'6'));
    }
}

TEST_F(MainWindowTest, ATileLooksPressedWhileTheLeftButtonIsHeldOnIt)
{
    ProgramFolder folder;
    open(folder);
    ASSERT_TRUE(loaded);
    QWidget *tile = window->view().tile(27);
    const QPoint on(24, 24), off(24, -100);
    const QImage up = tile->grab().toImage();
    mouse(tile, QEvent::MouseButtonPress, on, Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(tile->grab().toImage(), up) << "a right press does not hold a tile down";
    mouse(tile, QEvent::MouseButtonRelease, off, Qt::RightButton, Qt::NoButton);
    mouse(tile, QEvent::MouseButtonPress, on, Qt::LeftButton, Qt::LeftButton);
    EXPECT_NE(tile->grab().toImage(), up) << "held down by the left button";
    mouse(tile, QEvent::MouseMove, off, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(tile->grab().toImage(), up) << "up again while the pointer is off it";
    mouse(tile, QEvent::MouseMove, on, Qt::NoButton, Qt::LeftButton);
    EXPECT_NE(tile->grab().toImage(), up);
    mouse(tile, QEvent::MouseMove, off, Qt::NoButton, Qt::LeftButton);
    mouse(tile, QEvent::MouseButtonRelease, off, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(tile->grab().toImage(), up) << "released off the tile: nothing picked";
}

} // namespace
