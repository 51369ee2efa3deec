// The popups over the main window: the dialog, the level menu, the celebration and the help,
// and the window taking no input while one of them is open.
#include "main_window/main_window.h"

#include "effect/celebration_window.h"
#include "platform/platform.h"
#include "popups/confirm_dialog.h"
#include "popups/help_window.h"
#include "popups/level_menu.h"

#include <QApplication>

namespace horokata {

void MainWindow::unloadPopups()
{
    // No flow waits on them any more: the menu goes first, then the dialog.
    delete menu_;
    delete dialog_;
    popupClosed();
    if (help_)
        help_->hide();
}

FlowTask<bool> MainWindow::SET_FORM2(DialogMode mode, QString name)
{
    sync();
    if (standIn_) {
        const bool answer = co_await standIn_->SET_FORM2(mode, name);
        co_return answer;
    }
    ConfirmDialog *dialog = confirmDialog();
    openPopup(dialog);
    dialog->SET_FORM2(mode, name);
    const bool yes = co_await waits_.until(dialog, &ConfirmDialog::answered);
    popupClosed();
    keys_.backToWindow();
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

FlowTask<> MainWindow::playCelebration()
{
    sync();
    if (standIn_) {
        co_await standIn_->playCelebration();
        co_return;
    }
    co_await horokata::playCelebration(this, p_);
    keys_.backToWindow();
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

FlowTask<std::optional<int>> MainWindow::SET_MENU()
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

FlowTask<> MainWindow::chooseLevel()
{
    const std::optional<int> level = co_await SET_MENU();
    if (level)
        co_await game_.NEW_FILE(*level);
    keys_.backToWindow();
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

} // namespace horokata
