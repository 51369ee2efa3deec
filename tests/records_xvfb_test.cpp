// The real main window with its store: the mouse paths to the records and the notebook, the
// clear question asked in the game's own dialog, and both windows closing with the game.
#include "main_window/main_window.h"
#include "records/records_store.h"
#include "platform_qt/qt_platform.h"
#include "popups/confirm_dialog.h"
#include "records_ui/notebook_window.h"
#include "records_ui/records_window.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace horokata;

namespace {

TEST(RecordsInTheGame, MousePathsTheClearQuestionAndClosingTogether)
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
    ASSERT_TRUE(window->records().store().available());
    const auto settle = [&] { return QTest::qWaitFor([&] { return !window->flowRunning(); }, 20000); };

    // A board with one idiom found, then given up: a counted loss, its idioms in the notebook.
    const auto click = [&](QWidget *w) {
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
        ASSERT_TRUE(settle());
    };
    click(window->button("cmdNEW"));
    const QString first = window->game().hiddenIdioms()[1];
    for (QChar ch : first) {
        for (int i = 0; i < kCells; ++i) {
            if (window->view().tile(i)->isVisible() && window->view().tile(i)->text() == QString(ch) && !window->view().tile(i)->isChecked()) {
                click(window->view().tile(i));
                break;
            }
        }
    }
    ASSERT_EQ(window->view().line(0)->text(), QStringLiteral("01：") + first);
    QTimer::singleShot(300, [&] { window->findChild<ConfirmDialog *>()->cmdOK_Click(); });
    click(window->view().lamp(0)); // give up
    ASSERT_EQ(window->records().store().summary().levels[0].played, 1);

    // A click on a found line opens the notebook at its idiom.
    click(window->view().line(0));
    ASSERT_NE(window->records().notebookWindow(), nullptr);
    EXPECT_TRUE(window->records().notebookWindow()->isVisible());
    EXPECT_EQ(window->records().notebookWindow()->selectedIdiom(), first);

    // A double click on the level caption opens the records; clearing a level asks in the
    // game's dialog, with its answers.
    EXPECT_EQ(window->view().levelLabel()->toolTip(), QStringLiteral("ダブルクリックで記録（Ctrl+H）"));
    QTest::mouseDClick(window->view().levelLabel(), Qt::LeftButton);
    RecordsWindow *records = window->records().recordsWindow();
    ASSERT_NE(records, nullptr);
    EXPECT_TRUE(records->isVisible());
    QString asked;
    bool cancelShown = false;
    QTimer::singleShot(300, [&] {
        ConfirmDialog *dialog = window->findChild<ConfirmDialog *>();
        asked = dialog->messageText();
        cancelShown = dialog->cancelShown();
        dialog->cmdOK_Click();
    });
    EXPECT_TRUE(QCoro::waitFor(records->clearLevel(0)));
    EXPECT_EQ(asked, RecordsWindow::clearQuestionText(0));
    EXPECT_TRUE(cancelShown);
    EXPECT_EQ(window->records().store().summary().levels[0].played, 0);
    EXPECT_FALSE(window->flowRunning());

    // Both windows go with the main window.
    window->close();
    EXPECT_FALSE(records->isVisible());
    EXPECT_FALSE(window->records().notebookWindow()->isVisible());
    window.reset();
}

} // namespace

namespace {

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// The title bar's clock: blank on the title board, running from the deal, on while the
// records window is in front, stopped once the board is lost.
TEST(RecordsInTheGame, TheClockRunsDuringPlayWhileAnyOfTheGamesWindowsIsInFront)
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
    QLabel *clock = window->view().clockLabel();
    EXPECT_EQ(accessibleName(clock), QStringLiteral("時間"));

    QTest::mouseClick(window->button("cmdNEW"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->flowRunning(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return accessibleName(clock) == QStringLiteral("時間 0:01"); }, 3000));
    EXPECT_TRUE(clock->isVisible());

    window->records().showRecords();
    RecordsWindow *records = window->records().recordsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(records));
    EXPECT_TRUE(QTest::qWaitFor([&] { return accessibleName(clock) == QStringLiteral("時間 0:02"); }, 3000));
    records->close();

    QTimer::singleShot(300, [&] { window->findChild<ConfirmDialog *>()->cmdOK_Click(); });
    QTest::mouseClick(window->view().lamp(0), Qt::LeftButton); // give up: the clock stops
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->flowRunning() && window->game().phase() == BoardPhase::Lost; }, 20000));
    const QString stopped = accessibleName(clock);
    QTest::qWait(1300);
    EXPECT_EQ(accessibleName(clock), stopped) << stopped.toStdString();
    window->close();
}

} // namespace
