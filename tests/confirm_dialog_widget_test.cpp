// Confirmation dialog: outline loading, the seven modes, answers, placement and dragging.
#include "popups/confirm_dialog.h"
#include "outline/region.h"
#include "popups/window_shape.h"
#include "support/ui_scale_guard.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace horokata;

namespace {

const QString kDataDir = QStringLiteral(HOROKATA_SOURCE_DIR "/data/");

struct Shown {
    QString message;
    QString title;
    bool cancel = false;
    QPoint pos;
    bool visible = false;
    std::optional<bool> answer; // what the dialog answered when it hid
    // What a screen reader gets from the control holding the focus.
    QString spokenName;
    QString spokenText;
};

class ConfirmDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g.setProgramFolder(kDataDir);
        g.setLevelLabel(QStringLiteral("＜初級＞"));
        main.setWindowFlags(Qt::FramelessWindowHint);
        main.resize(610, 429);
        main.move(100, 50);
        dialog = std::make_unique<ConfirmDialog>(g, &main);
    }

    // Opens the dialog in `mode` and answers it with `answer` while it is up.
    Shown open(int mode, const std::function<void()> &answer)
    {
        Shown shown;
        QTimer::singleShot(0, dialog.get(), [&] {
            shown = Shown{dialog->messageText(), dialog->titleText(), dialog->cancelShown(), dialog->pos(),
                          dialog->isVisible(), std::nullopt, QString(), QString()};
            if (QAccessibleInterface *focus = QAccessible::queryAccessibleInterface(dialog->focusWidget())) {
                shown.spokenName = focus->text(QAccessible::Name);
                shown.spokenText = focus->text(QAccessible::Description);
            }
            answer();
        });
        const auto c = QObject::connect(dialog.get(), &ConfirmDialog::answered, [&](bool yes) {
            EXPECT_FALSE(shown.answer.has_value()) << "answered twice";
            shown.answer = yes;
        });
        dialog->SET_FORM2(static_cast<DialogMode>(mode), QStringLiteral("特殊"));
        // Shown without blocking: the answer comes later.
        EXPECT_FALSE(shown.visible);
        EXPECT_TRUE(QTest::qWaitFor([&] { return shown.answer.has_value(); }, 5000)) << "dialog did not close by itself";
        QObject::disconnect(c);
        EXPECT_FALSE(dialog->isVisible());
        return shown;
    }

    std::function<void()> press(const char *button)
    {
        return [this, button] { dialog->findChild<QPushButton *>(QLatin1String(button))->click(); };
    }

    std::function<void()> key(int k)
    {
        return [this, k] {
            QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
            QApplication::sendEvent(dialog.get(), &e);
        };
    }

    ProgramState g;
    QWidget main;
    std::unique_ptr<ConfirmDialog> dialog;
};

void sendMouse(QWidget *w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button)
{
    QMouseEvent e(type, local, global, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

// --- Loading and the outline -------------------------------------------------------------------

TEST_F(ConfirmDialogTest, LoadsHiddenAndCutToTheOutlineOfMsgRgn)
{
    EXPECT_EQ(dialog->outlineTrouble(), Trouble::None);
    EXPECT_TRUE(dialog->isHidden());
    EXPECT_EQ(dialog->size(), QSize(380, 85));
    const QRegion mask = dialog->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_TRUE(mask.contains(QPoint(1, 0)));
    EXPECT_TRUE(mask.contains(QPoint(371, 76)));
    EXPECT_TRUE(mask.contains(QPoint(372, 16)));
    EXPECT_FALSE(mask.contains(QPoint(373, 16)));
    EXPECT_FALSE(mask.contains(QPoint(375, 5)));
    EXPECT_TRUE(mask.contains(QPoint(12, 84)));
    EXPECT_FALSE(mask.contains(QPoint(11, 83)));
    EXPECT_EQ(dialog->findChild<QWidget *>("picBAR2")->geometry(), QRect(4, 4, 362, 19));
    EXPECT_EQ(dialog->findChild<QWidget *>("lblMSG")->geometry(), QRect(64, 40, 289, 33));
    // The focus sink lies outside the window.
    EXPECT_GE(dialog->findChild<QWidget *>("Command1")->x(), 380);
}

TEST(ConfirmDialogOutline, FailuresGiveTheirTroubleNumbers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto troubleWith = [&](const QByteArray *bytes) {
        QFile::remove(dir.filePath("msg.rgn"));
        if (bytes) {
            QFile f(dir.filePath("msg.rgn"));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(*bytes);
        }
        ProgramState g;
        g.setProgramFolder(dir.path() + QLatin1Char('/'));
        ConfirmDialog d(g, nullptr);
        return int(d.outlineTrouble());
    };
    EXPECT_EQ(troubleWith(nullptr), 1);
    const QByteArray whole = writeRegionData(menuOutline().Buffer);
    const QByteArray cut = whole.left(whole.size() - 8);
    EXPECT_EQ(troubleWith(&cut), 2);
    QByteArray badType = whole;
    badType[4] = 2;
    EXPECT_EQ(troubleWith(&badType), 3);
    // A header without rectangles would make the window vanish: not accepted as its outline.
    const QByteArray empty = writeRegionData({});
    EXPECT_EQ(troubleWith(&empty), 4);
    EXPECT_EQ(troubleWith(&whole), 0);
}

TEST(ConfirmDialogArt, BandingTheDialogArtGivesMsgRgn)
{
    QImage art(kDataDir + "popups/dialog_background.png");
    ASSERT_FALSE(art.isNull());
    art = art.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(art.size(), QSize(380, 85));
    const auto banded = bandMask(380, 85, [&](int x, int y) { return art.pixel(x, y) != qRgb(255, 0, 255); });
    EXPECT_EQ(banded.size(), 1753u);
    RGNDATA rgn;
    ASSERT_EQ(readRegionFile(kDataDir + "msg.rgn", rgn), 0);
    EXPECT_EQ(rgn.Buffer, banded);
    // The compiled-in copy is the same picture.
    EXPECT_EQ(popupArt("dialog_background.png").toImage().convertToFormat(QImage::Format_RGB32), art);
}

// At each larger size the outline, cut again at the window's size, is the picture drawn for
// that size less its key colour: no key colour inside it, no part of the panel cut off. The
// dialog made at 150 % has that outline and its controls at their places.
TEST(ConfirmDialogArt, AtEachSizeTheOutlineIsThePictureDrawnForIt)
{
    RGNDATA rgn;
    ASSERT_EQ(readRegionFile(kDataDir + "msg.rgn", rgn), 0);
    for (const int percent : {125, 150, 175, 200}) {
        const QRegion painted = horokata::testing::paintedRegion(artFileAt(kDataDir + "popups/dialog_background.png", percent));
        const horokata::testing::ScopedUiScale scale(percent);
        EXPECT_EQ(regionFromRects(rgn.Buffer), painted) << percent;
    }
    const horokata::testing::ScopedUiScale scale(150);
    ProgramState g;
    g.setProgramFolder(kDataDir);
    ConfirmDialog dialog(g, nullptr);
    EXPECT_EQ(dialog.outlineTrouble(), Trouble::None);
    EXPECT_EQ(dialog.size(), QSize(570, 128));
    EXPECT_EQ(dialog.mask().boundingRect(), QRect(0, 0, 570, 128));
    EXPECT_EQ(dialog.findChild<QWidget *>("lblMSG")->geometry(), QRect(96, 60, 434, 50));
    EXPECT_EQ(dialog.findChild<QWidget *>("cmdOK")->geometry(), QRect(146, 2, 122, 26));
}

// --- Modes ---------------------------------------------------------------------------------------

TEST_F(ConfirmDialogTest, EachModeShowsItsTextAndButtons)
{
    struct Case {
        int mode;
        QString text;
        bool cancel;
    };
    const Case cases[] = {
        {0, QStringLiteral("＜特殊＞ 読み込みエラー！ ＝ 強制終了！"), false},
        {1, QStringLiteral("現在の「 面 」を破棄します！　よろしいですか？"), true},
        {2, QStringLiteral("現在の＜初級＞を破棄します！　よろしいですか？"), true},
        {3, QStringLiteral("ファイル ＜特殊＞ が見つかりません！"), false},
        {4, QStringLiteral("ファイル ＜特殊＞ が不正です！"), false},
        {6, QStringLiteral("この「 面 」を 降参放棄 しますか？"), true},
        {7, QStringLiteral("記録ファイルが読めません！　＜特殊＞ に退避しました"), false},
        {8, QStringLiteral("記録を保存できません！　記録なしで続けます"), false},
        {9, QStringLiteral("前回の「 面 」を再開できません！　破棄して始めます"), false},
        {10, QStringLiteral("特殊の記録をすべて消去します！　よろしいですか？"), true},
        {11, QStringLiteral("記録ファイルに傷んだ所がありました！　ほかの記録はそのまま使います"), false},
        {12, QStringLiteral("記録ファイルに書き込めません！　記録は増えず、毎回同じ「 面 」から再開します"), false},
        {13, QStringLiteral("記録ファイルは新しいホロカタのものです！　読むだけで、記録は増えません"), false},
    };
    for (const Case &c : cases) {
        const Shown s = open(c.mode, press("cmdOK"));
        EXPECT_EQ(s.message, c.text) << "mode " << c.mode;
        EXPECT_EQ(s.cancel, c.cancel) << "mode " << c.mode;
        EXPECT_EQ(s.title, QStringLiteral("＜ 処理確認 ＞")) << "mode " << c.mode;
        EXPECT_TRUE(s.visible);
        // A screen reader hears the question and the answers it offers, whatever came before.
        EXPECT_EQ(s.spokenName, s.title) << "mode " << c.mode;
        EXPECT_TRUE(s.spokenText.startsWith(c.text)) << "mode " << c.mode;
        EXPECT_TRUE(s.spokenText.contains(QStringLiteral("はい ○"))) << "mode " << c.mode;
        EXPECT_EQ(s.spokenText.contains(QStringLiteral("いいえ ×")), c.cancel) << "mode " << c.mode;
    }
}

TEST_F(ConfirmDialogTest, VersionModeRetitlesAndTheNextQuestionRestoresTitleAndCancel)
{
    const Shown version = open(5, press("cmdOK"));
    EXPECT_TRUE(version.message.startsWith(QStringLiteral("『 ホロカタ 』  Ver.1.0")));
    EXPECT_TRUE(version.message.contains(QStringLiteral("EDRDG")));
    EXPECT_EQ(version.title, QStringLiteral("バージョン情報"));
    EXPECT_FALSE(version.cancel);
    EXPECT_EQ(version.spokenName, QStringLiteral("バージョン情報"));
    EXPECT_TRUE(version.spokenText.startsWith(QStringLiteral("『 ホロカタ 』  Ver.1.0 ")));

    const Shown question = open(2, press("cmdOK"));
    EXPECT_EQ(question.title, QStringLiteral("＜ 処理確認 ＞"));
    EXPECT_TRUE(question.cancel);
}

TEST_F(ConfirmDialogTest, VersionFallsBackToBuiltInCreditWithoutCreditsFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(kDataDir + "msg.rgn", dir.filePath("msg.rgn")));
    g.setProgramFolder(dir.path() + QLatin1Char('/'));
    const Shown s = open(5, press("cmdOK"));
    EXPECT_TRUE(s.message.startsWith(QStringLiteral("『 ホロカタ 』  Ver.1.0")));
    EXPECT_TRUE(s.message.contains(QStringLiteral("EDRDG")));
}

TEST_F(ConfirmDialogTest, UnknownModeKeepsThePreviousMessageAndButtons)
{
    open(1, press("cmdOK"));
    const Shown s = open(99, press("cmdOK"));
    EXPECT_EQ(s.message, QStringLiteral("現在の「 面 」を破棄します！　よろしいですか？"));
    EXPECT_TRUE(s.cancel);
    EXPECT_EQ(s.title, QStringLiteral("＜ 処理確認 ＞"));
}

// --- Answers -------------------------------------------------------------------------------------

TEST_F(ConfirmDialogTest, TheNoButtonAndAWindowCloseOfAQuestionAnswerNo)
{
    EXPECT_EQ(open(1, press("cmdOK")).answer, true);
    // A close request from the window manager keeps the board: it answers a question "いいえ ×"
    // and only dismisses a notice.
    for (int mode : {1, 2, 6})
        EXPECT_EQ(open(mode, [this] { dialog->close(); }).answer, false) << "mode " << mode;
    EXPECT_EQ(open(0, [this] { dialog->close(); }).answer, true);
    EXPECT_EQ(open(1, press("cmdCANSEL")).answer, false);
    EXPECT_EQ(open(6, press("cmdOK")).answer, true);
}

TEST_F(ConfirmDialogTest, LogoButtonLeavesTheDialogOpen)
{
    bool stillOpen = false;
    open(1, [&] {
        dialog->findChild<QPushButton *>("cmdLOGO")->click();
        stillOpen = dialog->isVisible();
        dialog->cmdOK_Click();
    });
    EXPECT_TRUE(stillOpen);
}

TEST_F(ConfirmDialogTest, EnterAnswersYesAndEscapeAnswersNoToQuestionsOnly)
{
    EXPECT_EQ(open(1, key(Qt::Key_Return)).answer, true);
    EXPECT_EQ(open(3, key(Qt::Key_Escape)).answer, true);
    EXPECT_EQ(open(1, key(Qt::Key_Escape)).answer, false);
}

// --- Placement and dragging -----------------------------------------------------------------------

TEST_F(ConfirmDialogTest, OpensAtTheMainWindowsCornerPlus66And72WhereverItWasMoved)
{
    EXPECT_EQ(open(1, press("cmdOK")).pos, QPoint(166, 122));
    main.move(300, 240);
    EXPECT_EQ(open(3, press("cmdOK")).pos, QPoint(366, 312));
    EXPECT_EQ(dialog->size(), QSize(380, 85));

    // Near the screen's corner the dialog opens against it, whole.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    main.move(area.bottomRight() - QPoint(100, 50));
    EXPECT_EQ(open(1, press("cmdOK")).pos, area.bottomRight() + QPoint(1, 1) - QPoint(380, 85));
}

TEST_F(ConfirmDialogTest, DragsFromTheTitleCaptionAndBarButNotFromTheMessage)
{
    auto drag = [&](const char *name, Qt::MouseButton button) {
        QWidget *w = dialog->findChild<QWidget *>(QLatin1String(name));
        dialog->move(200, 200);
        const QPoint start = w->mapToGlobal(QPoint(3, 3));
        sendMouse(w, QEvent::MouseButtonPress, QPoint(3, 3), start, button);
        sendMouse(w, QEvent::MouseMove, QPoint(3, 3), start + QPoint(40, -25), button);
        sendMouse(w, QEvent::MouseButtonRelease, QPoint(3, 3), start + QPoint(40, -25), button);
        return dialog->pos();
    };
    EXPECT_EQ(drag("lblCOM", Qt::LeftButton), QPoint(240, 175));
    EXPECT_EQ(drag("picBAR2", Qt::RightButton), QPoint(240, 175));
    EXPECT_EQ(drag("lblMSG", Qt::LeftButton), QPoint(200, 200));
}

TEST_F(ConfirmDialogTest, ControlsCarryTheirNamesAndCaptions)
{
    EXPECT_EQ(dialog->objectName(), QStringLiteral("Form2"));
    EXPECT_EQ(dialog->findChild<QPushButton *>("cmdOK")->accessibleName(), QStringLiteral("はい ○"));
    EXPECT_EQ(dialog->findChild<QPushButton *>("cmdCANSEL")->accessibleName(), QStringLiteral("いいえ ×"));
    EXPECT_EQ(dialog->findChild<QPushButton *>("cmdCANSEL")->geometry().size(), QSize(81, 17));
    open(4, press("cmdOK"));
    EXPECT_EQ(dialog->findChild<QLabel *>("lblMSG")->accessibleName(), QStringLiteral("ファイル ＜特殊＞ が不正です！"));
}
