// The real main window dealing a review board: too few idioms met, then after a lost board
// 単語帳's 復習 deals a board of the idioms met, and the board comes back after a restart.
#include "main_window/main_window.h"
#include "platform_qt/qt_platform.h"
#include "records/records_store.h"
#include "popups/confirm_dialog.h"
#include "records_ui/notebook_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <set>

using namespace horokata;

namespace {

struct RunningGame {
    explicit RunningGame(const QString &records)
        : window(std::make_unique<MainWindow>(globals, platform, QStringLiteral(HOROKATA_PROGRAM_DIR)))
    {
        platform.beforeEvents = [this] { window->sync(); };
        window->records().use(records);
        EXPECT_TRUE(QCoro::waitFor(window->Form_Load()));
        QCoro::waitFor(window->records().open());
    }
    bool settle() { return QTest::qWaitFor([this] { return !window->flowRunning(); }, 20000); }
    std::set<QString> hidden() const
    {
        const auto &h = window->game().hiddenIdioms();
        return std::set<QString>(h.begin() + 1, h.end());
    }
    ProgramState globals;
    QtPlatform platform;
    std::unique_ptr<MainWindow> window;
};

TEST(ReviewInTheGame, AReviewBoardOfTheIdiomsMetSurvivesARestart)
{
    qputenv("XDG_RUNTIME_DIR", QByteArray("/tmp"));
    QTemporaryDir dir;
    const QString records = dir.filePath(QStringLiteral("records.sqlite"));
    std::set<QString> met;
    {
        RunningGame g(records);
        ASSERT_TRUE(g.window->records().store().available());
        // Nothing met yet: Ctrl+R deals nothing, and the notebook says how many are needed.
        g.window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(g.window.get()));
        QTest::keyClick(g.window.get(), Qt::Key_R, Qt::ControlModifier);
        ASSERT_NE(g.window->records().notebookWindow(), nullptr);
        EXPECT_TRUE(g.window->records().notebookWindow()->statusText().contains(QStringLiteral("あと 20 語")));
        EXPECT_FALSE(g.window->game().reviewing());

        // A board given up reveals its twenty idioms.
        QTest::mouseClick(g.window->button("cmdNEW"), Qt::LeftButton);
        ASSERT_TRUE(g.settle());
        met = g.hidden();
        QTimer::singleShot(300, [&] { g.window->findChild<ConfirmDialog *>()->cmdOK_Click(); });
        QTest::mouseClick(g.window->view().lamp(0), Qt::LeftButton);
        ASSERT_TRUE(g.settle());
        ASSERT_EQ(g.window->records().store().notebook().size(), met.size());

        g.window->records().showNotebook(QString());
        QTest::mouseClick(g.window->records().notebookWindow()->reviewButton(), Qt::LeftButton);
        ASSERT_TRUE(g.settle());
        EXPECT_TRUE(g.window->game().reviewing());
        EXPECT_EQ(g.window->view().levelLabel()->text(), QStringLiteral("＜復習＞"));
        EXPECT_EQ(g.hidden(), met);
        EXPECT_TRUE(g.window->game().playing());
        g.window->close();
    }
    RunningGame again(records);
    EXPECT_TRUE(again.window->game().playing());
    EXPECT_TRUE(again.window->game().reviewing());
    EXPECT_EQ(again.window->view().levelLabel()->text(), QStringLiteral("＜復習＞"));
    EXPECT_EQ(again.hidden(), met);
    again.window->close();
}

} // namespace
