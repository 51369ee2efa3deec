// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#include "main_window/main_window.h"
#include "main_window/play_assists.h"

#include "effect/celebration_window.h"
#include "main_window/records_presenter.h"
#include "platform_qt/exact_title.h"
#include "platform_qt/ui_scale.h"
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
#include <QScopeGuard>

namespace horokata {

MainWindow::MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder, GameHost *popupStandIn)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), g_(globals), p_(platform),
      game_(globals, platform, *this), standIn_(popupStandIn),
      board_(programFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Loaded as a PNG by name: an icon made from a bare path asks every image plugin whether
    // it knows the file, and loading them all costs the start-up milliseconds.
    setWindowIcon(QIcon(QPixmap(QStringLiteral(":/art/icon-32.png"), "PNG")));
    setAccessibleName(QString::fromUtf8(kTitle));
    buildControls();
    records_ = std::make_unique<RecordsPresenter>(*this, game_, g_, p_, flows_, board_, programFolder);
    assists_ = new PlayAssists(*this, game_, board_, keys_, *records_);
    flows_.onEnded([this] { sync(); });
    flows_.onFault([this](const QString &what) { flowFault(what); });
}

MainWindow::~MainWindow()
{
    // A window deleted without closing still ends its flows before its parts go.
    endFlows();
    // The store's windows go before the store they read.
    records_->deleteWindows();
}

bool MainWindow::focusNextPrevChild(bool next)
{
    return keys_.focusNextPrevChild(next);
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

void MainWindow::flow(FlowTask<> task)
{
    flows_.start(std::move(task));
}

void MainWindow::flowFault(const QString &what)
{
    // The flow is gone: nothing waits on a popup, the window takes input, the pointer is an arrow.
    popupClosed();
    if (dialog_)
        dialog_->hide();
    if (menu_)
        menu_->hide();
    game_.recoverFromFault();
    sync();
    if (tellingFault_ || !isVisible())
        return;
    flow(tellFault(what));
}

FlowTask<> MainWindow::tellFault(QString what)
{
    tellingFault_ = true;
    const auto done = qScopeGuard([this] { tellingFault_ = false; });
    co_await game_.tellFault(what);
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

FlowTask<> MainWindow::loadProgram()
{
    const bool loaded = co_await Form_Load();
    if (loaded)
        co_await records_->open();
    if (loaded)
        emit this->loaded();
    else
        QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

FlowTask<bool> MainWindow::Form_Load()
{
    // Tile font and layout are set up in the constructor; show the splash state.
    co_await p_.doEvents();
    co_await game_.loadFirstList(records_->programFolder());
    game_.beginLoading();
    sync();
    show();
    co_await p_.doEvents();
    SET_SOUND(g_, p_);
    // The dialog and the level menu build their outlines as they load; the menu only
    // when the dialog's outline worked.
    Trouble trouble = confirmDialog()->outlineTrouble();
    if (trouble == Trouble::None) {
        loadLevelMenu();
        trouble = menu_->outlineTrouble();
    }
    if (trouble != Trouble::None) {
        ERR_END(trouble);
        co_return false;
    }
    game_.finishLoad();
    board_.placeStatus();
    game_.endLoading();
    co_await p_.doEvents();
    sync();
    co_return true;
}

void MainWindow::ERR_END(Trouble intERR)
{
    p_.setBusyPointer(false);
    p_.messageBox(fatalMessage(intERR), QString::fromUtf8(kFatalTitle));
    unloadPopups();
    hide();
}

void MainWindow::sync()
{
    const BoardModel &m = game_.model();
    board_.sync(m);
    if (isEnabled() != m.enabled)
        setEnabled(m.enabled);
    keys_.boardLooked(m, BoardMarks{game_.foundCount(), game_.misses(), game_.playing()});
    if (assists_)
        assists_->follow();
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 32, 0));
    // A picture drawn at more pixels than the screen shows is filtered down, not sampled.
    p.setRenderHint(QPainter::SmoothPixmapTransform, background_.devicePixelRatio() > devicePixelRatioF());
    p.drawPixmap(scaled(1), scaled(1), background_);
}

// ---------------------------------------------------------------- tiles

void MainWindow::onTileReleased(int index, Qt::MouseButton button, bool inside)
{
    keys_.focusSink();
    // Remembered, not shown: the arrow keys start from the tile last clicked.
    keys_.clickedCell(index);
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

FlowTask<> MainWindow::closeMainWindow()
{
    sync();
    close();
    // The close ended every flow that waited; the one that asked for it ends here.
    throw FlowStopped{};
    co_return;
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
    // A board waiting on a question or the menu is at rest; one moving tiles is not.
    records_->closing(flows_.atRest() || popup_);
    endFlows();
    unloadPopups();
    e->accept();
    emit closed();
}

void MainWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (records_)
        records_->followActivity();
}

void MainWindow::cmdMENU_Click()
{
    flow(versionNotice());
}

FlowTask<> MainWindow::versionNotice()
{
    co_await game_.ask(DialogMode::Version);
}

void MainWindow::cmdSELECT_Press(QPoint pressPos)
{
    keys_.focusSink();
    storeMenuPosition(pressPos);
    selectPressed_ = true;
}

void MainWindow::storeMenuPosition(QPoint pressPos)
{
    g_.setMenuPosition((x() + pressPos.x() + scaled(192)) * kTwipsPerPixel, (y() + pressPos.y() + scaled(8)) * kTwipsPerPixel);
}

void MainWindow::cmdSELECT_Release()
{
    // Without a press on the button (a shortcut, the keys), the menu opens as if 選択 were
    // pressed at its centre.
    if (!std::exchange(selectPressed_, false))
        storeMenuPosition(cmdSELECT->rect().center());
    flow(chooseLevel());
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
            resize(scaled(QSize(610, 429)));
        }
    }
    if (records_ && (e->type() == QEvent::WindowStateChange || e->type() == QEvent::ActivationChange))
        records_->followActivity();
    QWidget::changeEvent(e);
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
    if (type == QEvent::KeyPress && keys_.handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (records_ && records_->filterEvent(watched, event))
        return true;
    if (watched == imgSYS) {
        if (type == QEvent::MouseButtonPress) {
            imgSYS_MouseDown(unscaled(static_cast<QMouseEvent *>(event)->position().toPoint().x()));
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
