// Level menu: outline, arrow and colours, hover, grey entries and clicks.
#include "popups/level_menu.h"
#include "outline/region.h"
#include "popups/window_shape.h"
#include "support/ui_scale_guard.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

using namespace horokata;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(192, 0, 0);
const QColor kGrey(128, 128, 128);

class LevelMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.makeAllLevelsChoosable();
        g.setMenuPosition(1500, 900);
        menu = std::make_unique<LevelMenu>(g, &owner);
        QObject::connect(menu.get(), &LevelMenu::answered, [this](int i) {
            if (i >= 0)
                calls.push_back(i);
            hiddenWhenCalled = !menu->isVisible();
        });
    }

    // Opens the menu and runs `inside` while it is up; returns whether the menu closed by itself.
    bool open(const std::function<void()> &inside)
    {
        QTimer::singleShot(0, menu.get(), inside);
        menu->SET_MENU();
        // Shown without blocking: the test waits for it to close.
        const bool closed = QTest::qWaitFor([this] { return !menu->isVisible(); }, 3000);
        menu->hide();
        return closed;
    }

    void mouse(QWidget *w, QEvent::Type type, QPoint local)
    {
        QMouseEvent e(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    void hover(int i) { mouse(menu->entry(i), QEvent::MouseMove, QPoint(20, 8)); }

    void click(QWidget *w, QPoint at)
    {
        mouse(w, QEvent::MouseButtonPress, at);
        mouse(w, QEvent::MouseButtonRelease, at);
    }

    void clickEntry(int i) { click(menu->entry(i), QPoint(20, 8)); }

    ProgramState g;
    QWidget owner;
    std::unique_ptr<LevelMenu> menu;
    std::vector<int> calls;
    bool hiddenWhenCalled = false;
};

} // namespace

TEST_F(LevelMenuTest, LoadsHiddenWithEntriesAndTheBuiltInOutline)
{
    EXPECT_EQ(menu->outlineTrouble(), Trouble::None);
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(menu->size(), QSize(60, 79));
    const char *captions[] = {"　 初級", "　 一般", "　 特殊", "　 其他"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(menu->entry(i)->text(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(menu->entry(i)->geometry(), QRect(7, 7 + 16 * i, 45, 16));
        EXPECT_EQ(menu->entryColor(i), kBlue);
    }
    EXPECT_EQ(menu->mask(), regionFromRects(menuOutline().Buffer));
    EXPECT_FALSE(menu->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(menu->mask().contains(QPoint(56, 4)));
}

TEST(LevelMenuArt, BandingTheMenuArtReproducesTheBuiltInOutline)
{
    QImage art(HOROKATA_SOURCE_DIR "/data/popups/menu_background.png");
    ASSERT_FALSE(art.isNull());
    art = art.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(art.size(), QSize(60, 79));
    auto inArt = [&](int x, int y) { return x < 60 && art.pixel(x, y) != qRgb(255, 0, 255); };

    // The art itself bands to the list cut at the window's right edge ...
    std::vector<RECT> clipped = menuOutline().Buffer;
    for (RECT &r : clipped)
        r.right = std::min(r.right, 60);
    EXPECT_EQ(bandMask(60, 79, inArt), clipped);
    // ... and with the list's column beyond the window, to the list itself.
    EXPECT_EQ(bandMask(61, 79, [&](int x, int y) { return inArt(x, y) || menuOutlineExtraPixel(x, y); }),
              menuOutline().Buffer);
}

// At each larger size the built-in outline, cut again at the window's size, is the picture
// drawn for that size less its key colour, within the window; the menu at 150 % has it.
TEST(LevelMenuArt, AtEachSizeTheOutlineIsThePictureDrawnForIt)
{
    for (const int percent : {125, 150, 175, 200}) {
        const QRegion painted = horokata::testing::paintedRegion(artFileAt(HOROKATA_SOURCE_DIR "/data/popups/menu_background.png", percent));
        const horokata::testing::ScopedUiScale scale(percent);
        EXPECT_FALSE(painted.isEmpty()) << percent;
        EXPECT_EQ(regionFromRects(menuOutline().Buffer) & QRect(QPoint(), scaled(QSize(60, 79))), painted) << percent;
    }
    const horokata::testing::ScopedUiScale scale(150);
    ProgramState g;
    LevelMenu menu(g, nullptr);
    EXPECT_EQ(menu.outlineTrouble(), Trouble::None);
    EXPECT_EQ(menu.size(), QSize(90, 119));
    EXPECT_EQ(menu.entry(3)->geometry(), QRect(11, 83, 68, 24));
}

TEST_F(LevelMenuTest, OpensAtTheStoredTwipsWithTheArrowAtTheLoadedLevel)
{
    for (int level = 0; level < 4; ++level) {
        g.setLevel(level);
        QPoint pos, arrow;
        bool arrowShown = false;
        QColor current;
        EXPECT_TRUE(open([&] {
            pos = menu->pos();
            arrow = menu->arrowPos();
            arrowShown = menu->arrowShown();
            current = menu->entryColor(level);
            menu->SET_HIDE();
        }));
        EXPECT_EQ(pos, QPoint(100, 60));
        EXPECT_EQ(arrow, QPoint(8, 16 * level + 6)) << "level " << level;
        EXPECT_TRUE(arrowShown);
        EXPECT_EQ(current, kRed);
    }

    // Asked to open past the screen's corner, it opens against it, whole.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    g.setMenuPosition((area.right() - 10) * kTwipsPerPixel, (area.bottom() - 10) * kTwipsPerPixel);
    QPoint pos;
    EXPECT_TRUE(open([&] {
        pos = menu->pos();
        menu->SET_HIDE();
    }));
    EXPECT_EQ(pos, area.bottomRight() + QPoint(1, 1) - QPoint(60, 79));
}

TEST_F(LevelMenuTest, HoverMovesTheDarkRedToTheEntryUnderTheMouse)
{
    g.setLevel(0);
    std::array<QColor, 4> afterOne, afterThree;
    open([&] {
        hover(1);
        for (int i = 0; i < 4; ++i)
            afterOne[std::size_t(i)] = menu->entryColor(i);
        hover(3);
        for (int i = 0; i < 4; ++i)
            afterThree[std::size_t(i)] = menu->entryColor(i);
        menu->SET_HIDE();
    });
    EXPECT_EQ(afterOne, (std::array<QColor, 4>{kBlue, kRed, kBlue, kBlue}));
    EXPECT_EQ(afterThree, (std::array<QColor, 4>{kBlue, kBlue, kBlue, kRed}));
}

TEST_F(LevelMenuTest, FailedLevelStaysGreyIgnoresTheMouseAndCannotBeChosen)
{
    g.setLevel(0);
    g.setLevelChoosable(1, false);
    bool stayedOpen = false;
    QColor afterHover;
    open([&] {
        hover(1);
        afterHover = menu->entryColor(1);
        clickEntry(1);
        stayedOpen = menu->isVisible();
        menu->SET_HIDE();
    });
    EXPECT_EQ(afterHover, kGrey);
    EXPECT_EQ(menu->entryColor(0), kRed);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(calls.empty());

    // Even when the list becomes usable again, the menu never re-enables the entry.
    g.setLevelChoosable(1, true);
    open([&] {
        clickEntry(1);
        stayedOpen = menu->isVisible();
        menu->SET_HIDE();
    });
    EXPECT_FALSE(menu->entryEnabled(1));
    EXPECT_EQ(menu->entryColor(1), kGrey);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(calls.empty());
}

TEST_F(LevelMenuTest, NoArrowWhenTheBeginnerListFailedAtStartUp)
{
    g.setLevel(0);
    g.setLevelChoosable(0, false);
    bool shown = true;
    open([&] {
        shown = menu->arrowShown();
        menu->SET_HIDE();
    });
    EXPECT_FALSE(shown);
    EXPECT_EQ(menu->entryColor(0), kGrey);
}

TEST_F(LevelMenuTest, ChoosingTheLoadedLevelOnlyClosesTheMenu)
{
    g.setLevel(2);
    EXPECT_TRUE(open([&] { clickEntry(2); }));
    EXPECT_TRUE(calls.empty());
}

TEST_F(LevelMenuTest, ChoosingAnotherLevelHidesTheMenuThenCallsNewFile)
{
    g.setLevel(0);
    EXPECT_TRUE(open([&] { clickEntry(3); }));
    EXPECT_EQ(calls, std::vector<int>{3});
    EXPECT_TRUE(hiddenWhenCalled);
}

TEST_F(LevelMenuTest, PressOnOneEntryAndReleaseOutsideItChoosesNothing)
{
    g.setLevel(0);
    bool stayedOpen = false;
    open([&] {
        mouse(menu->entry(2), QEvent::MouseButtonPress, QPoint(20, 8));
        mouse(menu->entry(2), QEvent::MouseButtonRelease, QPoint(20, 30));
        stayedOpen = menu->isVisible();
        menu->SET_HIDE();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(calls.empty());
}

TEST_F(LevelMenuTest, BackgroundClickAndEscapeCloseWithoutChange)
{
    g.setLevel(1);
    EXPECT_TRUE(open([&] { click(menu.get(), QPoint(30, 74)); }));
    EXPECT_TRUE(open([&] {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(menu.get(), &e);
    }));
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(g.level(), 1);
}

TEST_F(LevelMenuTest, IsAWindowThatScreenReadersSeeWithItsFourEntries)
{
    g.setLevelChoosable(1, false);
    g.setLevel(0);
    QStringList names;
    QList<bool> disabled;
    bool inTree = false;
    open([&] {
        QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
        for (int i = 0; app && i < app->childCount(); ++i) {
            QAccessibleInterface *top = app->child(i);
            if (!top || top->object() != menu.get())
                continue;
            inTree = true;
            for (int k = 0; k < top->childCount(); ++k) {
                QAccessibleInterface *entry = top->child(k);
                if (entry && !entry->text(QAccessible::Name).isEmpty()) {
                    names << entry->text(QAccessible::Name);
                    disabled << bool(entry->state().disabled);
                }
            }
        }
        menu->SET_HIDE();
    });
    ASSERT_TRUE(inTree) << "the open menu is not in the application's accessibility tree";
    EXPECT_EQ(names, (QStringList{QStringLiteral("　 初級"), QStringLiteral("　 一般"), QStringLiteral("　 特殊"),
                                  QStringLiteral("　 其他")}));
    EXPECT_EQ(disabled, (QList<bool>{false, true, false, false}));
}
