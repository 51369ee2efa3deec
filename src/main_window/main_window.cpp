// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#include "main_window/main_window.h"

#include "effect/celebration_window.h"
#include "main_window/qt_colors.h"
#include "platform/exact_title.h"
#include "platform/platform.h"
#include "popups/confirm_dialog.h"
#include "popups/help_window.h"
#include "popups/level_menu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>

namespace horokata {

MainWindow::MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), g_(globals), p_(platform),
      game_(globals, platform, *this), programFolder_(programFolder),
      cards_(QDir(programFolder).filePath(QString::fromUtf8(kDictionaryFileName)))
{
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Loaded as a PNG by name: an icon made from a bare path asks every image plugin whether
    // it knows the file, and loading them all costs the start-up milliseconds.
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/art/icon-32.png"), "PNG")));
    setAccessibleName(QString::fromUtf8(kTitle));
    buildControls();
    setUpRecords();
}

MainWindow::~MainWindow()
{
    // A window deleted without closing still ends its flows before its parts go.
    endFlows();
    // The store's windows go before the store they read.
    deleteRecordWindows();
}

QPushButton *MainWindow::button(const char *name) const
{
    return findChild<QPushButton *>(QString::fromLatin1(name));
}

MouseButton MainWindow::toGameButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    default: return MouseButton::Middle;
    }
}

void MainWindow::act(const std::function<void()> &call)
{
    call();
    sync();
}

void MainWindow::flow(QCoro::Task<> task)
{
    // Nobody keeps the follower: it ends by itself once the flow ends or is stopped.
    follow(std::move(task));
}

QCoro::Task<> MainWindow::follow(QCoro::Task<> task)
{
    ++flows_;
    try {
        co_await std::move(task);
    } catch (const FlowStopped &) {
        // The window is closing: nothing of it may be touched beyond this count.
        --flows_;
        co_return;
    }
    --flows_;
    sync();
}

void MainWindow::endFlows()
{
    waits_.stopAll();
    p_.stopFlows();
}

void MainWindow::startLoading()
{
    flow(loadProgram());
}

QCoro::Task<> MainWindow::loadProgram()
{
    const bool loaded = co_await Form_Load();
    if (loaded)
        co_await openRecords();
    if (loaded)
        emit this->loaded();
    else
        QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

QCoro::Task<bool> MainWindow::Form_Load()
{
    // Tile font and layout are set up in the constructor; show the splash state.
    co_await p_.doEvents();
    co_await game_.loadFirstList(programFolder_);
    game_.beginLoading();
    sync();
    show();
    co_await p_.doEvents();
    SET_SOUND(g_, p_);
    // The dialog and the level menu build their outlines as they load; the menu only
    // when the dialog's outline worked.
    confirmDialog();
    if (g_.intERR == Trouble::None)
        loadLevelMenu();
    if (g_.intERR != Trouble::None) {
        ERR_END();
        co_return false;
    }
    game_.finishLoad();
    placeStatus();
    game_.endLoading();
    co_await p_.doEvents();
    sync();
    co_return true;
}

void MainWindow::ERR_END()
{
    p_.setBusyPointer(false);
    p_.messageBox(fatalMessage(g_.intERR), QString::fromUtf8(kFatalTitle));
    unloadPopups();
    hide();
}

void MainWindow::unloadPopups()
{
    // No flow waits on them any more: the menu goes first, then the dialog.
    delete menu_;
    delete dialog_;
    popupClosed();
    if (help_)
        help_->hide();
}

void MainWindow::placeStatus()
{
    lblLEVEL->adjustSize();
    lblGOKU->move(lblLEVEL->x() + lblLEVEL->width() + 12, 3);
}

void MainWindow::sync()
{
    const BoardModel &m = game_.model();
    for (int i = 0; i < kCells; ++i) {
        const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
        TileButton *b = MOJI[static_cast<std::size_t>(i)];
        if (b->text() != t.Caption) {
            b->setText(t.Caption);
            b->setAccessibleName(t.Caption);
        }
        b->setChecked(t.Value != 0);
        b->setColors(t.BackColor, t.ForeColor);
        if (b->isVisible() != t.Visible)
            b->setVisible(t.Visible);
    }
    for (int k = 0; k < kIdioms; ++k) {
        const IdiomLine &line = m.lblGO[static_cast<std::size_t>(k)];
        QLabel *l = lblGO[static_cast<std::size_t>(k)];
        if (l->text() != line.Caption) {
            l->setText(line.Caption);
            l->setAccessibleName(line.Caption);
            showCard(l, line.Caption);
        }
        // ".QLabel" styles the line alone: its card, a tooltip label, keeps the tooltip colours
        // (a black revealed line would otherwise give a black card on a clear background).
        const QString css = QStringLiteral(".QLabel { color: %1; background: transparent; }").arg(cssColor(line.ForeColor));
        if (l->styleSheet() != css)
            l->setStyleSheet(css);
    }
    for (int h = 0; h < kLamps; ++h) {
        const Lamp &lamp = m.chkLIFE[static_cast<std::size_t>(h)];
        LampButton *b = chkLIFE[static_cast<std::size_t>(h)];
        b->setColor(lamp.BackColor);
        if (b->isVisible() != lamp.Visible)
            b->setVisible(lamp.Visible);
    }
    if (lblLEVEL->text() != m.lblLEVEL) {
        lblLEVEL->setText(m.lblLEVEL);
        lblLEVEL->setAccessibleName(m.lblLEVEL);
        placeStatus();
    }
    if (lblGOKU->text() != m.lblGOKU) {
        lblGOKU->setText(m.lblGOKU);
        lblGOKU->setAccessibleName(m.lblGOKU);
        // Wider than its 81 pixels only for words that need it (the time after a win).
        lblGOKU->setFixedWidth(std::max(81, lblGOKU->fontMetrics().horizontalAdvance(m.lblGOKU) + 2));
    }
    const QString statusCss = QStringLiteral("color: %1; background: transparent;").arg(cssColor(m.lblGOKUColor));
    if (lblGOKU->styleSheet() != statusCss)
        lblGOKU->setStyleSheet(statusCss);
    if (imgOFF->y() != m.imgOFFTop)
        imgOFF->move(345, m.imgOFFTop);
    picBACK->setScheme(m.paintedScheme);
    if (isEnabled() != m.enabled)
        setEnabled(m.enabled);
    pendingNews_ += news_.look(m, BoardMarks{game_.foundCount(), game_.misses(), game_.playing()});
    applyKeyFocus();
}

void MainWindow::showCard(QLabel *line, const QString &caption)
{
    const QString card = cards_.cardForLine(caption);
    if (line->accessibleDescription() == card)
        return;
    // A card left open over a line that changed would show the wrong idiom.
    if (line->underMouse() && QToolTip::isVisible())
        QToolTip::hideText();
    line->setAccessibleDescription(card);
    if (card.isEmpty()) {
        line->setToolTip(QString());
        return;
    }
    // Rich text so that a long meaning wraps; the idiom stands out on top, and numbered
    // senses ("(1) ... (2) ...") start a line each.
    const qsizetype firstBreak = card.indexOf(QLatin1Char('\n'));
    QString rest = card.mid(firstBreak + 1).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    if (rest.contains(QStringLiteral("<br>(1) "))) {
        for (int sense = 2; rest.contains(QStringLiteral(" (%1) ").arg(sense)); ++sense)
            rest.replace(QStringLiteral(" (%1) ").arg(sense), QStringLiteral("<br>(%1) ").arg(sense));
    }
    line->setToolTip(QStringLiteral("<p style='white-space:pre-wrap'><big><b>%1</b></big><br>%2</p>")
                         .arg(card.left(firstBreak).toHtmlEscaped(), rest));
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 32, 0));
    p.drawPixmap(1, 1, background_);
}

// ---------------------------------------------------------------- tiles

// ---------------------------------------------------------------- tiles

void MainWindow::onTileReleased(int index, Qt::MouseButton button, bool inside)
{
    focusSink();
    // Remembered, not shown: the arrow keys start from the tile last clicked.
    boardCell_ = index;
    if (!inside) {
        // The press was taken back by leaving the tile: no click happened.
        act([this] { game_.takeBackPress(); });
        return;
    }
    // The tile's flip shows before the release's flow runs.
    act([this, index, button] {
        if (button == Qt::LeftButton)
            game_.MOJI_Flip(index);
    });
    flow(game_.MOJI_MouseUp(index, toGameButton(button)));
}

// ---------------------------------------------------------------- dialogs and the effect

QCoro::Task<bool> MainWindow::SET_FORM2()
{
    sync();
    if (dialogOverride)
        co_return dialogOverride();
    ConfirmDialog *dialog = confirmDialog();
    openPopup(dialog);
    dialog->SET_FORM2();
    const bool yes = co_await waits_.until(dialog, &ConfirmDialog::answered);
    popupClosed();
    backToWindow();
    sync();
    co_return yes;
}

void MainWindow::openPopup(QWidget *popup)
{
    // Like a modal window, except that closing the main window still works: its input is
    // dropped by the window's filter (eventFilter) until the popup hides.
    popup_ = popup;
    qApp->installEventFilter(this);
}

void MainWindow::popupClosed()
{
    popup_ = nullptr;
    qApp->removeEventFilter(this);
}

ConfirmDialog *MainWindow::confirmDialog()
{
    if (!dialog_)
        dialog_ = new ConfirmDialog(g_, this);
    return dialog_;
}

void MainWindow::loadLevelMenu()
{
    if (!menu_)
        menu_ = new LevelMenu(g_, this);
}

QCoro::Task<> MainWindow::playCelebration()
{
    sync();
    if (celebrationOverride) {
        celebrationOverride();
        co_return;
    }
    co_await horokata::playCelebration(this, p_);
    backToWindow();
}

QCoro::Task<> MainWindow::closeMainWindow()
{
    sync();
    close();
    // The close ended every flow that waited; the one that asked for it ends here.
    throw FlowStopped{};
    co_return;
}

void MainWindow::showHelp()
{
    if (!help_)
        help_ = new HelpWindow(this);
    help_->present();
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    // An open help, question or menu stays in front of the window it belongs to.
    if (help_ && help_->isVisible())
        help_->present();
    if (QWidget *modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
        modal->raise();
        modal->activateWindow();
    }
}

// ---------------------------------------------------------------- chrome

void MainWindow::cmdEXIT_Click()
{
    close();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    // Closing never asks: the board in play is saved, every flow ends where it waits, the
    // popups go, then the window.
    recordsClosing();
    endFlows();
    unloadPopups();
    e->accept();
    emit closed();
}

void MainWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    followActivity();
}

void MainWindow::cmdMENU_Click()
{
    flow(versionNotice());
}

QCoro::Task<> MainWindow::versionNotice()
{
    co_await game_.ask(DialogMode::Version);
}

void MainWindow::cmdSELECT_Press(QPoint pressPos)
{
    focusSink();
    storeMenuPosition(pressPos);
    selectPressed_ = true;
}

void MainWindow::storeMenuPosition(QPoint pressPos)
{
    g_.lngMENUX = (x() + pressPos.x() + 192) * kTwipsPerPixel;
    g_.lngMENUY = (y() + pressPos.y() + 8) * kTwipsPerPixel;
}

void MainWindow::cmdSELECT_Release()
{
    // Without a press on the button (a shortcut, the keys), the menu opens as if 選択 were
    // pressed at its centre.
    if (!std::exchange(selectPressed_, false))
        storeMenuPosition(cmdSELECT->rect().center());
    flow(chooseLevel());
}

QCoro::Task<std::optional<int>> MainWindow::SET_MENU()
{
    loadLevelMenu();
    LevelMenu *menu = menu_;
    openPopup(menu);
    menu->setLoadedChoosable(game_.reviewing());
    menu->SET_MENU();
    const int level = co_await waits_.until(menu, &LevelMenu::answered);
    popupClosed();
    // The screen under the menu is painted again before anything else happens.
    co_await p_.doEvents();
    co_return level < 0 ? std::nullopt : std::optional<int>(level);
}

QCoro::Task<> MainWindow::chooseLevel()
{
    const std::optional<int> level = co_await SET_MENU();
    if (level)
        co_await game_.NEW_FILE(*level);
    backToWindow();
}

void MainWindow::imgSYS_MouseDown(int x)
{
    if (x < 18) {
        imgSYS->setPixmap(imgSYSStates[1]);
        blnSYS1 = true;
    } else if (x > 34) {
        blnSYS2 = true;
        imgSYS->setPixmap(imgSYSStates[2]);
    }
}

void MainWindow::imgSYS_MouseUp()
{
    if (blnSYS1) {
        blnSYS1 = false;
        imgSYS->setPixmap(imgSYSStates[0]);
        showMinimized();
    } else if (blnSYS2) {
        blnSYS2 = false;
        imgSYS->setPixmap(imgSYSStates[0]);
        close();
    }
}

void MainWindow::changeEvent(QEvent *e)
{
    if (e->type() == QEvent::WindowStateChange) {
        if (windowState() & Qt::WindowMinimized) {
            const ExactWindowTitles exact;
            setWindowTitle(QStringLiteral("* ホロカタ *"));
        } else if (!(windowState() & Qt::WindowMaximized)) {
            setWindowTitle(QString());
            resize(610, 429);
        }
    }
    if (e->type() == QEvent::WindowStateChange || e->type() == QEvent::ActivationChange)
        followActivity();
    QWidget::changeEvent(e);
}

bool MainWindow::isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        return true;
    default:
        return false;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (popup_) {
        // A popup is open: its own events are none of the window's, and the window takes no input.
        if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != this)
            return false;
        if (isInput(type))
            return true;
    }
    if (type == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (recordsEvent(watched, event))
        return true;
    if (watched == imgSYS) {
        if (type == QEvent::MouseButtonPress) {
            imgSYS_MouseDown(static_cast<QMouseEvent *>(event)->position().toPoint().x());
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            imgSYS_MouseUp();
            return true;
        }
    } else if (watched == cmdSELECT) {
        if (type == QEvent::MouseButtonPress)
            cmdSELECT_Press(static_cast<QMouseEvent *>(event)->position().toPoint());
        else if (type == QEvent::MouseButtonRelease && selectPressed_) {
            // Any release after the press opens the menu, on the button or beside it; the
            // button itself sees no release, so it gives no click of its own.
            cmdSELECT->setDown(false);
            commands_[kSelectCommand]->trigger();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace horokata
