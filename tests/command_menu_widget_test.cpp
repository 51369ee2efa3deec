// The command menu offscreen: the sound switch a screen reader reads and the settings keep,
// and a zoom at rest that closes the window for a restart.
#include "app/view_settings.h"
#include "main_window/command_menu.h"
#include "main_window/main_window.h"
#include "support/fake_platform.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

class CommandMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        configBefore = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        for (const char *file : {"/初級.txt", "/msg.rgn"})
            QFile::copy(QStringLiteral(HOROKATA_PROGRAM_DIR) + QString::fromUtf8(file), program.path() + QString::fromUtf8(file));
        window = std::make_unique<MainWindow>(globals, platform, program.path());
        platform.onEvents = [this] { window->sync(); };
        ASSERT_TRUE(QCoro::waitFor(window->Form_Load()));
        menu = new CommandMenu(*window, [this](bool on) { sound << on; });
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", configBefore); }

    QTemporaryDir config, program;
    QByteArray configBefore;
    ProgramState globals;
    FakePlatform platform;
    std::unique_ptr<MainWindow> window;
    CommandMenu *menu = nullptr;
    QList<bool> sound;
};

} // namespace

TEST_F(CommandMenuTest, MSwitchesTheSoundAndAScreenReaderReadsIt)
{
    EXPECT_EQ(sound, QList<bool>{true});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window.get(), Qt::Key_M);
    EXPECT_EQ(sound, (QList<bool>{true, false}));
    EXPECT_FALSE(ViewSettings::soundOn());
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(menu->menu());
    ASSERT_NE(list, nullptr);
    const int at = int(menu->menu()->actions().indexOf(menu->viewCommand(CommandMenu::kSound)));
    ASSERT_GE(at, 0);
    EXPECT_EQ(list->child(at)->text(QAccessible::Name), QStringLiteral("音"));
    EXPECT_TRUE(list->child(at)->state().checkable);
    EXPECT_FALSE(list->child(at)->state().checked);
}

TEST_F(CommandMenuTest, ZoomAtRestKeepsTheSizeAndClosesForTheRestart)
{
    bool closed = false;
    QObject::connect(window.get(), &MainWindow::closed, [&closed] { closed = true; });
    menu->viewCommand(CommandMenu::kZoomReset)->trigger(); // 100 % already: nothing
    EXPECT_FALSE(closed);
    menu->viewCommand(CommandMenu::kZoomIn)->trigger();
    EXPECT_TRUE(closed);
    EXPECT_EQ(ViewSettings::scale(), 125);
}
