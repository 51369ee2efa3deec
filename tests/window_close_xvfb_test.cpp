// Closing the real main window while a flow waits: the window manager's close ends the
// program at once, whatever the flow was waiting for, and nothing runs on the deleted windows
// afterwards (the sanitizer pass reports any use of freed memory).
#include "main_window/main_window.h"
#include "platform_qt/qt_platform.h"
#include "popups/confirm_dialog.h"
#include "popups/level_menu.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>

using namespace horokata;

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return a;
}

// What a window manager sends when the player closes a window: WM_DELETE_WINDOW, through the
// X server, to the window's own client.
void windowManagerClose(QWidget *w)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr) << "not on X";
    xcb_connection_t *c = x11->connection();
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = static_cast<xcb_window_t>(w->winId());
    ev.type = atom(c, "WM_PROTOCOLS");
    ev.data.data32[0] = atom(c, "WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&ev));
    xcb_flush(c);
}

class WindowClose : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
        window = std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR));
        platform.beforeEvents = [this] { window->sync(); };
        QObject::connect(window.get(), &MainWindow::closed, [this] { closed = true; });
        ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2)); }
    // Lets the event loop run until the flow started last has ended.
    void settle()
    {
        QElapsedTimer t;
        t.start();
        while (window->flowRunning() && t.elapsed() < 20000)
            QTest::qWait(20);
        ASSERT_FALSE(window->flowRunning()) << "the flow did not end";
    }

    std::vector<int> tilesSpelling(const QString &idiom) const
    {
        std::vector<int> picked;
        for (QChar ch : idiom)
            for (int i = 0; i < kCells; ++i)
                if (window->view().tile(i)->isVisible() && window->view().tile(i)->accessibleName() == QString(ch)
                    && std::find(picked.begin(), picked.end(), i) == picked.end()) {
                    picked.push_back(i);
                    break;
                }
        return picked;
    }

    void deal()
    {
        click(window->button("cmdNEW"));
        settle();
        ASSERT_TRUE(window->game().playing());
    }

    // Picks idiom k; the last tile's flow (clearing, closing up) is left running.
    void pickIdiom(int k)
    {
        settle();
        const std::vector<int> tiles = tilesSpelling(window->game().hiddenIdioms()[static_cast<std::size_t>(k)]);
        ASSERT_EQ(tiles.size(), 4u) << "idiom " << k;
        for (int i : tiles) {
            settle();
            click(window->view().tile(i));
        }
    }

    // Sends the close while a flow waits; the program must be over within half a second: the
    // window closed, no flow left and no window of the game on the screen.
    void closeWhileWaiting(bool byQuitKey = false)
    {
        ASSERT_TRUE(window->flowRunning()) << "no flow is waiting";
        QElapsedTimer t;
        t.start();
        if (byQuitKey)
            xKey("ctrl+q");
        else
            windowManagerClose(window.get());
        const auto over = [this] {
            if (!closed || window->flowRunning())
                return false;
            const QWidgetList tops = QApplication::topLevelWidgets();
            return std::none_of(tops.begin(), tops.end(), [](QWidget *w) { return w->isVisible(); });
        };
        ASSERT_TRUE(QTest::qWaitFor(over, 5000)) << "the close did not end the program";
        EXPECT_LT(t.elapsed(), 500) << "the close took " << t.elapsed() << " ms";
        // Nothing of the ended flow runs later: the pauses it waited for would have ended by now.
        const QStringList before = QStringList() << window->view().tile(19)->text() << window->view().statusLabel()->text();
        QTest::qWait(1000);
        EXPECT_TRUE(over());
        EXPECT_EQ(QStringList() << window->view().tile(19)->text() << window->view().statusLabel()->text(), before);
        EXPECT_EQ(window->findChild<ConfirmDialog *>(), nullptr);
        EXPECT_EQ(window->findChild<LevelMenu *>(), nullptr);
        window.reset();
    }

    // A key pressed on the X server, to whichever window has the keyboard.
    static void xKey(const QString &key) { ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), key}), 0); }

    void startCelebration()
    {
        deal();
        for (int k = 1; k <= kIdioms; ++k)
            pickIdiom(k);
        settle();
        ASSERT_EQ(window->game().clearStage(), 1);
        click(window->view().tile(19));
        // Well into the effect: its full-screen window is up.
        QTest::qWait(1500);
        ASSERT_TRUE(otherWindowShown());
    }
    bool otherWindowShown() const
    {
        const QWidgetList tops = QApplication::topLevelWidgets();
        return std::any_of(tops.begin(), tops.end(), [this](QWidget *w) { return w != window.get() && w->isVisible(); });
    }

    ProgramState globals;
    QtPlatform platform;
    std::unique_ptr<MainWindow> window;
    bool closed = false;
};

TEST_F(WindowClose, DuringTheStartPause)
{
    click(window->button("cmdNEW"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->view().tile(19)->text() == QStringLiteral("＊"); }, 2000));
    QTest::qWait(200);
    closeWhileWaiting();
}

TEST_F(WindowClose, DuringACloseUp)
{
    deal();
    // The first idiom found on a full board leaves gaps that close up step by step.
    pickIdiom(1);
    // A few steps of the close-up, each a turn of the event loop.
    for (int step = 0; step < 20; ++step)
        QCoreApplication::processEvents();
    closeWhileWaiting();
}

TEST_F(WindowClose, WithTheDialogOpen)
{
    deal();
    pickIdiom(1);
    settle();
    // A new board with an idiom found asks first.
    click(window->button("cmdNEW"));
    ASSERT_TRUE(QTest::qWaitFor([this] { auto *d = window->findChild<ConfirmDialog *>(); return d && d->isVisible(); }, 2000));
    closeWhileWaiting();
}

TEST_F(WindowClose, WithTheMenuOpen)
{
    click(window->button("cmdSELECT"));
    ASSERT_TRUE(QTest::qWaitFor([this] { auto *m = window->findChild<LevelMenu *>(); return m && m->isVisible(); }, 2000));
    closeWhileWaiting();
}

TEST_F(WindowClose, DuringTheCelebration)
{
    startCelebration();
    closeWhileWaiting();
}

TEST_F(WindowClose, QuitKeyDuringADeal)
{
    click(window->button("cmdNEW"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->view().tile(19)->text() == QStringLiteral("＊"); }, 2000));
    closeWhileWaiting(true);
}

// Not a close: Escape skips the celebration, and the game goes on to the title board as after
// one played to its end.
TEST_F(WindowClose, EscapeEndsTheCelebration)
{
    startCelebration();
    QElapsedTimer t;
    t.start();
    xKey(QStringLiteral("Escape"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !otherWindowShown(); }, 2000));
    EXPECT_LT(t.elapsed(), 150) << "the skip took " << t.elapsed() << " ms, the key's own sending included";
    std::printf("celebration skipped in %lld ms after the key was sent\n", static_cast<long long>(t.elapsed()));
    settle();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->game().clearStage(), 0);
    EXPECT_FALSE(window->game().playing());
    EXPECT_TRUE(window->view().tile(19)->isVisible()) << "the title board is back";
}

} // namespace
