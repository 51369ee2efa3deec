// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#pragma once

#include "main_window/board_view.h"
#include "main_window/keyboard_play.h"
#include "main_window/records_presenter.h"
#include "platform/flow_owner.h"
#include "platform/flow_waits.h"
#include "puzzle/game.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
class QAction;
class QPushButton;
namespace horokata {

class ConfirmDialog;
class HelpWindow;
class LevelMenu;
class Platform;
class PlayAssists;
class TitleBarDrag;

// Builds the window, syncs it to the game and forwards input. Its parts: the board view, the
// records presenter, keyboard play (keyboard_play.cpp), the title bar (main_window_controls.cpp).
class MainWindow : public QWidget, public GameHost {
    Q_OBJECT
public:
    // `popupStandIn`, if any, answers the dialog and plays the effect in the popups' place.
    MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder, GameHost *popupStandIn = nullptr);
    ~MainWindow() override;

    // The window's construction sequence, a flow of its own: false when start-up must end.
    FlowTask<bool> Form_Load();
    // Runs Form_Load from the event loop; a failed start-up ends the program with exit code 1.
    void startLoading();
    // True while a flow started from the window has not ended (it may be waiting).
    bool flowRunning() const { return !flows_.atRest(); }
    bool popupOpen() const { return popup_ != nullptr; } // the dialog or the menu is open
    const Game &game() const { return game_; } // the game, to read
    void sync();                               // mirrors the game state into the widgets

    // GameHost
    FlowTask<bool> SET_FORM2(DialogMode mode, QString name) override;
    FlowTask<> playCelebration() override;
    FlowTask<> closeMainWindow() override;

    void bringToFront(); // the window, or the popup open over it, to the front (a later start asks)
    void showHelp();     // F1: the short "遊び方" window
    const BoardView &view() const { return board_; } // tiles, lines, lamps, labels, the cover
    QPushButton *button(const char *name) const;
    // The halves of the window-button image held down, waiting for their release.
    bool minimiseHeld() const { return blnSYS1; }
    bool closeHeld() const { return blnSYS2; }

    // The commands of the title bar, left to right as their buttons sit.
    enum TitleCommand { kVersionCommand, kExitCommand, kReplayCommand, kSelectCommand, kNewCommand, kTitleButtons };
    // The one action of each command, which its button, its shortcut and a screen reader trigger.
    QAction *command(TitleCommand c) const { return commands_[static_cast<std::size_t>(c)]; }

    void cmdEXIT_Click();                  // "終了": closes the window, which ends the program
    void cmdMENU_Click();                  // the version button: the version notice
    void cmdSELECT_Press(QPoint pressPos); // "選択" pressed: the menu will open beside the press
    void cmdSELECT_Release();              // "選択" released (or its shortcut): the level menu
    FlowTask<std::optional<int>> SET_MENU(); // the level menu, open until a choice or a close
    void imgSYS_MouseDown(int x); // a press on the window-button image: left half minimise, right close
    void imgSYS_MouseUp();        // the release that carries out the half pressed

    const KeyboardPlay &keys() const { return keys_; } // keyboard play: where the focus stands
    // The player's store and its windows; the file to use is given before startLoading.
    RecordsPresenter &records() { return *records_; }
    PlayAssists &assists() const { return *assists_; } // the pause and the hints
    void startReview(); // Ctrl+R, 単語帳's 復習: a review board from the notebook

signals:
    void closed(); // the window has closed: the program is ending
    void loaded(); // start-up has ended well: the window is ready for play
protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
private:
    void buildControls();
    void buildTitleBar();
    void buildTitleButtons();
    void buildCommands();
    void wireBoard();
    void ERR_END(Trouble intERR); // ends the program at once after a start-up trouble, telling its number
    ConfirmDialog *confirmDialog(); // the dialog and the menu are made on first use
    void loadLevelMenu();
    void unloadPopups();
    void act(const std::function<void()> &call); // the call to the game, then the widgets synced
    void flow(FlowTask<> task);                  // a flow, handed to the owner
    void flowFault(const QString &what);         // the window made whole again, the error told once
    FlowTask<> tellFault(QString what);
    void endFlows(); // ends every flow where it waits: closing the window ends them all
    void openPopup(QWidget *popup); // shown over the window, which takes no input until it hides
    void popupClosed();
    static bool isInput(QEvent::Type type); // mouse and key events: what a popup keeps from the window
    void onTileReleased(int index, Qt::MouseButton button, bool inside);
    static MouseButton toGameButton(Qt::MouseButton b);
    void storeMenuPosition(QPoint pressPos); // the menu position as if 選択 were pressed there
    FlowTask<> chooseLevel();                // the level menu, then the level chosen there dealt
    FlowTask<> versionNotice();
    FlowTask<> loadProgram();

    friend class KeyboardPlay;

    ProgramState &g_;
    Platform &p_;
    Game game_;
    GameHost *standIn_;                   // answers in place of the popups, or none
    BoardView board_;                     // tiles, lines, lamps, level and status words
    QFrame *picBAR = nullptr;             // the title bar
    QPushButton *cmdMENU = nullptr;       // version information
    QPushButton *cmdEXIT = nullptr;       // "終了": quit
    QPushButton *cmdRESET = nullptr;      // "再度": replay the board
    QPushButton *cmdSELECT = nullptr;     // "選択": the level menu
    QPushButton *cmdNEW = nullptr;        // "新規": a new board
    QLabel *imgSYS = nullptr;             // the minimise / close image at the bar's right end
    QPushButton *cmdFOCUS = nullptr;      // focus sink outside the visible window
    std::array<QPixmap, 3> imgSYSStates;  // imgSYS at rest, minimise held, close held
    QPixmap background_;
    TitleBarDrag *drag_ = nullptr;
    std::array<QAction *, kTitleButtons> commands_{};
    bool selectPressed_ = false; // 選択 is held down by the mouse: its release opens the menu
    bool blnSYS1 = false;        // the minimise half of imgSYS is held
    bool blnSYS2 = false;        // the close half of imgSYS is held
    QPointer<ConfirmDialog> dialog_;
    QPointer<LevelMenu> menu_;
    QPointer<HelpWindow> help_;
    QPointer<QWidget> popup_;    // the popup open over the window, which takes no input meanwhile
    FlowWaits waits_;            // where the flows wait for the popups' answers
    FlowOwner flows_;            // the flows started here, held until they end
    bool tellingFault_ = false;  // a flow's error is being told: another is only written out
    KeyboardPlay keys_{*this};   // keyboard play's focus and news
    std::unique_ptr<RecordsPresenter> records_; // the store and its windows
    PlayAssists *assists_ = nullptr;            // the pause and the hints (a child object)
};

} // namespace horokata
