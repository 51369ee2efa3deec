// The main window: title bar, board of 80 tiles, side panel; mirrors the game and forwards input.
#pragma once

#include "idioms/idiom_dictionary.h"
#include "main_window/board_area.h"
#include "main_window/lamp_button.h"
#include "main_window/tile_button.h"
#include "platform/flow_waits.h"
#include "puzzle/board_focus.h"
#include "puzzle/game.h"
#include "records/board_recorder.h"
#include "records/records_store.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>
#include <array>
#include <QSet>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QPushButton;
class QFrame;

namespace horokata {

class Platform;
class ConfirmDialog;
class HelpWindow;
class LevelMenu;
class NotebookWindow;
class RecordsWindow;
class TitleBarDrag;

class MainWindow : public QWidget, public GameHost {
    Q_OBJECT
public:
    MainWindow(ProgramState &globals, Platform &platform, const QString &programFolder);
    ~MainWindow() override;

    // The window's construction sequence, a flow of its own. False when start-up must end
    // because a window outline failed; a first list that cannot be read closes the window.
    QCoro::Task<bool> Form_Load();
    // Runs Form_Load from the event loop; a failed start-up ends the program with exit code 1.
    void startLoading();
    // True while a flow started from the window has not ended (it may be waiting).
    bool flowRunning() const { return flows_ > 0; }

    // The game, to read; windows change it only through its methods.
    const Game &game() const { return game_; }
    // The game to set up, for tests that need a board of their own making.
    Game &game() { return game_; }
    // Mirror the game state into the widgets.
    void sync();

    // GameHost
    QCoro::Task<bool> SET_FORM2() override;
    QCoro::Task<> playCelebration() override;
    QCoro::Task<> closeMainWindow() override;

    // Brings the window, or the popup open over it, to the front: a later start of the game
    // asks for it.
    void bringToFront();
    // F1: the short "遊び方" window.
    void showHelp();

    // Stand-ins while the dialog and the effect are replaced (tests); the dialog's returns the answer.
    std::function<bool()> dialogOverride;
    std::function<void()> celebrationOverride;

    TileButton *tile(int i) const { return MOJI[static_cast<std::size_t>(i)]; }
    QLabel *line(int k) const { return lblGO[static_cast<std::size_t>(k)]; }
    LampButton *lamp(int h) const { return chkLIFE[static_cast<std::size_t>(h)]; }
    QLabel *statusLabel() const { return lblGOKU; }
    QLabel *levelLabel() const { return lblLEVEL; }
    QLabel *cover() const { return imgOFF; }
    BoardArea *board() const { return picBACK; }
    QPushButton *button(const char *name) const;
    // The halves of the window-button image held down, waiting for their release.
    bool minimiseHeld() const { return blnSYS1; }
    bool closeHeld() const { return blnSYS2; }

    // The commands of the title bar, left to right as their buttons sit.
    enum TitleCommand { kVersionCommand, kExitCommand, kReplayCommand, kSelectCommand, kNewCommand, kTitleButtons };
    // The one action of each command, which its button, its shortcut and a screen reader trigger.
    QAction *command(TitleCommand c) const { return commands_[static_cast<std::size_t>(c)]; }

    // "終了": closes the window, which ends the program.
    void cmdEXIT_Click();
    // The version button: the version notice in the dialog.
    void cmdMENU_Click();
    // "選択" pressed: the level menu will open beside the press.
    void cmdSELECT_Press(QPoint pressPos);
    // "選択" released (or its shortcut): opens the level menu.
    void cmdSELECT_Release();
    // The level menu at the stored position, open until the player chooses or closes it: the
    // level chosen, or none.
    QCoro::Task<std::optional<int>> SET_MENU();
    // A press on the window-button image: its left half minimises, its right half closes.
    void imgSYS_MouseDown(int x);
    // The release that carries out the half pressed.
    void imgSYS_MouseUp();

    // Where the keyboard focus is: nowhere visible (the off-screen sink, where every mouse
    // click puts it), a title-bar button, a tile of the board, or a miss lamp.
    enum class KeyArea { None, Button, Board, Lamp };
    KeyArea keyArea() const { return keyArea_; }
    // The focused board cell (kept while the focus is elsewhere), or title button / lamp index.
    int focusCell() const { return boardCell_; }
    int keyIndex() const { return keyIndex_; }
    // The widget that carries the keyboard focus for the area above.
    QWidget *keyFocusWidget();

    // --- the player's store (main_window_records.cpp) ---
    // Keeps the records in the file at `path`; without it the window keeps none. Before
    // startLoading.
    void useRecords(const QString &path);
    // Once the window is ready: opens the store, tells its troubles, and lays the board saved
    // last out again, or leaves the title board on the level last played.
    QCoro::Task<> openRecords();
    RecordsStore &records() { return *store_; }
    BoardRecorder &recorder() { return *recorder_; }
    // Ctrl+H, a double click on the level caption: the records window.
    void showRecords();
    // Ctrl+I, a click on a found or revealed line: the idiom notebook, at `idiom` if given.
    void showNotebook(const QString &idiom = QString());
    // Ctrl+R, 単語帳's 復習: a review board from the notebook (review_board.cpp).
    void startReview();
    RecordsWindow *recordsWindow() const;
    NotebookWindow *notebookWindow() const;

signals:
    // The window has closed: the program is ending.
    void closed();
    // Start-up has ended well: the window is ready for play.
    void loaded();

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
    void buildBoard();
    void buildSidePanel();
    void placeStatus();
    // Ends the program at once after a trouble at start-up, telling its number.
    void ERR_END();
    // The dialog and the menu are made on first use, like windows that load when called.
    ConfirmDialog *confirmDialog();
    void loadLevelMenu();
    void unloadPopups();
    // The one path from input to the game: the call, then the widgets synced to what it left.
    void act(const std::function<void()> &call);
    // The same for a flow: it runs until it first waits, and the widgets are synced to what
    // it left whenever it waits and once it ends.
    void flow(QCoro::Task<> task);
    QCoro::Task<> follow(QCoro::Task<> task);
    // Ends every flow where it waits: closing the window ends them all.
    void endFlows();
    // Shows `popup` over the window, which takes no input until the popup hides.
    void openPopup(QWidget *popup);
    void popupClosed();
    // Mouse and key events: what a popup keeps from the window.
    static bool isInput(QEvent::Type type);
    void onTileReleased(int index, Qt::MouseButton button, bool inside);
    static MouseButton toGameButton(Qt::MouseButton b);
    // The line's card (idiom, reading, meaning) as its tooltip and accessible description.
    void showCard(QLabel *line, const QString &caption);
    // The menu position as if `cmdSELECT` were pressed at `pressPos`.
    void storeMenuPosition(QPoint pressPos);
    // The level menu, then the level chosen there dealt.
    QCoro::Task<> chooseLevel();
    // The version notice in the dialog.
    QCoro::Task<> versionNotice();
    QCoro::Task<> loadProgram();

    // Keyboard play (keyboard_play.cpp).
    // Mouse paths: the focus goes to the off-screen sink, so no frame shows.
    void focusSink();
    bool handleKey(QKeyEvent *e);
    void arrowKey(int key);
    void moveKeyFocus(KeyArea area, int index);
    void cycleKeyFocus(bool next);
    void activateFromKeys();
    // After every sync: the focus follows its cell or lamp, and the board's news is told.
    void applyKeyFocus();
    void tellNews();
    void backToWindow();
    std::array<QPushButton *, kTitleButtons> titleButtons() const;

    // The player's store (main_window_records.cpp).
    void setUpRecords();
    std::optional<std::vector<Idiom>> levelList(int level);
    QCoro::Task<> tellStoreTrouble(DialogMode mode);
    void tellStoreFailure();
    void followActivity();
    void recordsClosing();
    void deleteRecordWindows();
    QCoro::Task<bool> askClearLevel(int level);
    bool recordsEvent(QObject *watched, QEvent *event);

    ProgramState &g_;
    Platform &p_;
    Game game_;
    QString programFolder_;
    IdiomCards cards_;

    QFrame *picBAR = nullptr;             // the title bar
    QPushButton *cmdMENU = nullptr;       // version information
    QPushButton *cmdEXIT = nullptr;       // "終了": quit
    QPushButton *cmdRESET = nullptr;      // "再度": replay the board
    QPushButton *cmdSELECT = nullptr;     // "選択": the level menu
    QPushButton *cmdNEW = nullptr;        // "新規": a new board
    QLabel *imgSYS = nullptr;             // the minimise / close image at the bar's right end
    QLabel *lblGOKU = nullptr;            // status words and the pick so far
    QLabel *lblLEVEL = nullptr;           // the level in play
    QLabel *imgOFF = nullptr;             // the cover over the bar's right part while a dialog is open
    BoardArea *picBACK = nullptr;         // the board behind the tiles
    std::array<TileButton *, kCells> MOJI{};     // the tiles
    QFrame *picSIDE = nullptr;                   // the side panel
    std::array<QLabel *, kIdioms> lblGO{};       // the idiom lines
    std::array<LampButton *, kLamps> chkLIFE{};  // the miss lamps
    QLabel *Label1 = nullptr;             // "手違", the lamps' caption
    QPushButton *cmdFOCUS = nullptr;      // focus sink outside the visible window
    std::array<QPixmap, 3> imgSYSStates;  // imgSYS at rest, minimise held, close held
    QPixmap background_;
    TitleBarDrag *drag_ = nullptr;
    std::array<QAction *, kTitleButtons> commands_{};
    bool selectPressed_ = false; // 選択 is held down by the mouse: its release opens the menu

    bool blnSYS1 = false; // the minimise half of imgSYS is held
    bool blnSYS2 = false; // the close half of imgSYS is held

    QPointer<ConfirmDialog> dialog_;
    QPointer<LevelMenu> menu_;
    QPointer<HelpWindow> help_;
    QPointer<QWidget> popup_;  // the popup open over the window, which takes no input meanwhile
    FlowWaits waits_;          // where the flows wait for the popups' answers
    int flows_ = 0;            // flows started here and not yet ended

    KeyArea keyArea_ = KeyArea::None;
    int keyIndex_ = 0;
    int boardCell_ = 0;
    BoardNews news_;
    QStringList pendingNews_;
    QPointer<QWidget> newsHolder_;

    QString recordsPath_;                     // the records file, "" for none
    std::unique_ptr<RecordsStore> store_;
    std::unique_ptr<BoardRecorder> recorder_; // the game's observer
    QPointer<RecordsWindow> records_;
    QPointer<NotebookWindow> notebook_;
    QSet<int> noticesTold_;                   // the store's troubles told this run
};

} // namespace horokata
