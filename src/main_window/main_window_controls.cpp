// The main window's controls: the title bar and its buttons, the board, the side panel.
#include "main_window/main_window.h"

#include "main_window/qt_colors.h"
#include "main_window/quit_key.h"
#include "main_window/review_board.h"
#include "platform_qt/fonts.h"
#include "platform_qt/screen_fit.h"
#include "platform_qt/title_bar_drag.h"
#include "platform_qt/ui_scale.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <future>
#include <utility>

namespace horokata {

void MainWindow::buildControls()
{
    // Window: 610 × 429 pixels, centred; on a screen too small its top-left corner stays on it.
    setFixedSize(scaled(QSize(610, 429)));
    // The background is the largest picture to decode: a second thread reads it while the
    // controls are built and their fonts looked up.
    std::future<QImage> background = std::async(std::launch::async | std::launch::deferred,
                                                [ratio = qApp->devicePixelRatio()] {
                                                    return loadArtImage(QStringLiteral(":/art/background.png"), ratio);
                                                });
    centreOnScreen(this);

    buildTitleBar();
    buildTitleButtons();
    board_.buildBoard(this);
    board_.buildSidePanel(this);
    wireBoard();

    QImage backgroundImage = background.get();
    if (backgroundImage.isNull()) {
        background_ = QPixmap(scaled(QSize(608, 427)));
        background_.fill(QColor(0, 48, 0));
    } else {
        // Handed over rather than copied: the decoded picture becomes the pixmap's own.
        background_ = QPixmap::fromImage(std::move(backgroundImage));
    }

    // Focus sink outside the visible window.
    cmdFOCUS = new QPushButton(this);
    cmdFOCUS->setObjectName(QStringLiteral("cmdFOCUS"));
    cmdFOCUS->setGeometry(scaled(624, 48, 73, 41));
    // A reader lands here whenever a mouse click parks the focus, and hears the game's news
    // as its description: name it after the game, not after the trick.
    cmdFOCUS->setAccessibleName(QString::fromUtf8(kTitle));
    // The keys of the whole window pass the window's own filter (keyboard_play.cpp).
    cmdFOCUS->installEventFilter(this);
    installEventFilter(this);
    // The sink holds the focus from the start, so that activating the window shows no frame.
    cmdFOCUS->setFocus();
}

// The title bar with its labels and images; later controls stack above earlier ones.
void MainWindow::buildTitleBar()
{
    picBAR = new QFrame(this);
    picBAR->setObjectName(QStringLiteral("picBAR"));
    picBAR->setGeometry(scaled(4, 4, 600, 25));
    picBAR->setFrameShape(QFrame::Box);
    picBAR->setLineWidth(scaled(1));
    picBAR->setAutoFillBackground(true);
    {
        QPalette pal = picBAR->palette();
        const QPixmap bar = artOr(QStringLiteral(":/art/titlebar.png"), QSize(598, 23), QColor(0, 0, 128));
        QPixmap full(scaled(QSize(600, 25)) * bar.devicePixelRatio());
        full.setDevicePixelRatio(bar.devicePixelRatio());
        full.fill(QColor(0, 0, 128));
        QPainter(&full).drawPixmap(scaled(1), scaled(1), bar);
        pal.setBrush(QPalette::Window, QBrush(full));
        pal.setColor(QPalette::WindowText, QColor(0, 0, 64));
        picBAR->setPalette(pal);
    }

    // Labels and images lie beneath the buttons; the cover image is the topmost of them.
    board_.buildStatus(picBAR);
    imgSYSStates = {artOr(QStringLiteral(":/art/sys0.png"), QSize(51, 15), QColor(160, 160, 200)),
                    artOr(QStringLiteral(":/art/sys1.png"), QSize(51, 15), QColor(120, 120, 160)),
                    artOr(QStringLiteral(":/art/sys2.png"), QSize(51, 15), QColor(120, 120, 160))};
    imgSYS = new QLabel(picBAR);
    imgSYS->setObjectName(QStringLiteral("imgSYS"));
    imgSYS->setGeometry(scaled(544, 1, 51, 15));
    imgSYS->setPixmap(imgSYSStates[0]);
    imgSYS->setToolTip(QStringLiteral("最小化 ／ 終了"));
    imgSYS->setAccessibleName(QStringLiteral("最小化 ／ 終了"));
    imgSYS->installEventFilter(this);
    board_.buildCover(picBAR);

    // The bar and its labels drag the window.
    drag_ = new TitleBarDrag(this);
    for (QWidget *part : {static_cast<QWidget *>(picBAR), static_cast<QWidget *>(board_.statusLabel()), static_cast<QWidget *>(board_.levelLabel())})
        drag_->watch(part);
}

// The command buttons of the title bar.
void MainWindow::buildTitleButtons()
{
    const QFont buttonFont = gothicFont(9.75);
    const auto makeButton = [&](const char *name, const QString &caption, const QString &tip, QRect geo, Rgb back) {
        auto *b = new QPushButton(caption, picBAR);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(geo);
        b->setToolTip(tip);
        b->setAccessibleName(caption.isEmpty() ? tip : caption);
        b->setFont(buttonFont);
        // Reached with Tab only: a click never leaves a focus frame on it.
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(scaledStyle(QStringLiteral(
            "QPushButton { background: %1; color: #000000; border-top: 1px solid #ffffff; border-left: 1px solid #ffffff;"
            " border-bottom: 1px solid #404060; border-right: 1px solid #404060; padding: 0; }"
            "QPushButton:pressed { border-top: 1px solid #404060; border-left: 1px solid #404060;"
            " border-bottom: 1px solid #ffffff; border-right: 1px solid #ffffff; padding-top: 1px; padding-left: 1px; }"
            "QPushButton:focus { border: 2px solid #000000; background: #ffffff; }")
                                         .arg(cssColor(back))));
        b->installEventFilter(this);
        b->raise();
        return b;
    };
    const Rgb lavender = RGB(192, 192, 255);
    cmdMENU = makeButton("cmdMENU", QString(), QStringLiteral("バージョン情報"), scaled(0, 0, 25, 23), RGB(0, 192, 0));
    cmdMENU->setIcon(QIcon(artOr(QStringLiteral(":/art/version.png"), QSize(21, 20), QColor(0, 160, 0))));
    cmdMENU->setIconSize(scaled(QSize(21, 20)));
    cmdEXIT = makeButton("cmdEXIT", QStringLiteral("終了"), QStringLiteral("ソフト終了"), scaled(16, 0, 89, 23), lavender);
    cmdRESET = makeButton("cmdRESET", QStringLiteral("再度"), QStringLiteral("リセット"), scaled(104, 0, 81, 23), lavender);
    cmdSELECT = makeButton("cmdSELECT", QStringLiteral("選択"), QStringLiteral("ファイル選択"), scaled(184, 0, 81, 23), lavender);
    cmdNEW = makeButton("cmdNEW", QStringLiteral("新規"), QStringLiteral("新規ゲーム"), scaled(264, 0, 81, 23), lavender);
    board_.cover()->raise();

    buildCommands();
    addReviewAction(*this);
}

// One action per command of the title bar: its button, its shortcut and a screen reader's
// press on the button all trigger it. A shortcut acts once per press, never while held.
void MainWindow::buildCommands()
{
    const auto makeAction = [this](QPushButton *button, const QKeySequence &shortcut, auto handler) {
        auto *action = new QAction(button->accessibleName(), this);
        action->setShortcut(shortcut);
        action->setAutoRepeat(false);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
        // A click first sends the focus to the sink, so that no visible control keeps a frame.
        connect(button, &QPushButton::clicked, action, [this, action] {
            keys_.focusSink();
            action->trigger();
        });
        return action;
    };
    commands_[kVersionCommand] = makeAction(cmdMENU, QKeySequence(), &MainWindow::cmdMENU_Click);
    commands_[kExitCommand] = makeAction(cmdEXIT, QKeySequence(Qt::CTRL | Qt::Key_Q), &MainWindow::cmdEXIT_Click);
    commands_[kReplayCommand] = makeAction(cmdRESET, QKeySequence(Qt::Key_F5), [this] { flow(game_.cmdRESET_Click()); });
    commands_[kSelectCommand] = makeAction(cmdSELECT, QKeySequence(Qt::CTRL | Qt::Key_L), &MainWindow::cmdSELECT_Release);
    commands_[kNewCommand] = makeAction(cmdNEW, QKeySequence(Qt::CTRL | Qt::Key_N), [this] { flow(game_.cmdNEW_Click()); });
    // While a flow keeps the window disabled, Ctrl+Q is watched for in every window.
    new QuitKeyWatch(this, [this] { cmdEXIT_Click(); });
    // 選択 opens the menu on any release that follows a mouse press on it (eventFilter).
    cmdSELECT->installEventFilter(this);
}

// The board's input: presses on the bare board, the tiles' presses and releases, the lamps.
void MainWindow::wireBoard()
{
    BoardArea *back = board_.board();
    connect(back, &BoardArea::pressedWith, this, [this](Qt::MouseButton b) {
        flow(game_.picBACK_MouseDown(toGameButton(b)));
    });
    for (int i = 0; i < kCells; ++i) {
        TileButton *t = board_.tile(i);
        // The press only marks a held pick; what it shows is synced with the release.
        connect(t, &TileButton::pressedWith, this, [this](int index, Qt::MouseButton b) {
            game_.MOJI_MouseDown(index, toGameButton(b));
        });
        connect(t, &TileButton::releasedWith, this, &MainWindow::onTileReleased);
        t->installEventFilter(this);
    }
    for (int h = 0; h < kLamps; ++h) {
        LampButton *lamp = board_.lamp(h);
        lamp->installEventFilter(this);
        connect(lamp, &QAbstractButton::clicked, this, [this, h] {
            keys_.focusSink();
            flow(game_.chkLIFE_MouseUp(h));
        });
    }
}

} // namespace horokata
