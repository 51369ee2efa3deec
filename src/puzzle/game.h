// The game's rules: the state of one game and every flow that changes it.
#pragma once

#include "idioms/idiom.h"
#include "puzzle/board_hints.h"
#include "puzzle/board_model.h"
#include "puzzle/game_observer.h"
#include "puzzle/program_state.h"

#include "platform/flow_task.h"
#include <QSet>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace horokata {

class Platform;
struct DealtBoard;
struct SavedBoard;

// What the game needs from the windows around it.
class GameHost {
public:
    virtual ~GameHost() = default;
    // The confirmation dialog for `mode` (intMSG) naming `name` (strNAME) where its message
    // has a name. The answer: true for yes, false for "いいえ ×" (the inverse of blnCANCEL).
    virtual FlowTask<bool> SET_FORM2(DialogMode mode, QString name) = 0;
    // The celebration: done when the effect window has played and closed.
    virtual FlowTask<> playCelebration() = 0;
    // Closes the main window, which ends the program and every flow with it, the asking one
    // included: it never completes normally (FlowStopped).
    virtual FlowTask<> closeMainWindow() = 0;
};

// The level label while a review board (dealt from the notebook) is in play.
constexpr const char *kReviewLabel = "＜復習＞";
// The level label during practice (a board played again by 再度), and what a screen reader
// hears before the level's own label then.
constexpr const char *kPracticeLabel = "＜練習＞";
constexpr const char *kPracticeSpoken = "練習　";

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

// Where the board stands, which decides what a click on a tile does.
enum class BoardPhase {
    Idle,         // no board in play: a click deals a new one
    Playing,      // a board in play: clicks pick tiles
    Cleared,      // all twenty found, "！拍手喝采！" shown: a click plays the celebration
    Lost,         // third miss or given up, "…残念至極…" shown: a click asks replay or new
    ReplayPrompt, // "再度？新規？" shown: its left half replays the board, its right half deals anew
};

class Game {
public:
    Game(ProgramState &globals, Platform &platform, GameHost &host);

    const BoardModel &model() const { return m_; }

    // The phase that follows from blnPLAY, intCLEAR and intOVER.
    BoardPhase phase() const;

    // --- start-up (the window-independent steps of the main window's construction) ---
    // The title board, the program folder, every level usable, then the beginner list read.
    FlowTask<> loadFirstList(const QString &programFolder);
    // The window is busy while the dialog and the menu load.
    void beginLoading();
    // The level label and status words once loaded.
    void finishLoad();
    // The window open for input again.
    void endLoading();

    // --- commands ---
    // "新規": deals a new board, asking first while one is in play.
    FlowTask<> cmdNEW_Click();
    // "再度": replays the last board dealt, from the start.
    FlowTask<> cmdRESET_Click();
    // A release on a miss lamp: offers to give the board up.
    FlowTask<> chkLIFE_MouseUp(int index);
    // A level chosen in the level menu: asks, reads its list and deals from it.
    FlowTask<> NEW_FILE(int index);

    // --- tiles and board ---
    // A press on a tile (the flip and the release follow).
    void MOJI_MouseDown(int index, MouseButton button);
    // The tile's own flip of Value between press and release (left button only).
    void MOJI_Flip(int index);
    // A release on the tile: picks it, or acts for the phase when no board is in play.
    FlowTask<> MOJI_MouseUp(int index, MouseButton button);
    // A press taken back by leaving the tile before release: no click happened.
    void takeBackPress();
    // Press, flip, release in the order the tile delivers them.
    FlowTask<> clickTile(int index, MouseButton button);
    // A press on the bare board: the left button closes up the tiles, any other cancels the pick.
    FlowTask<> picBACK_MouseDown(MouseButton button);

    // --- flows ---
    // Per-board reset: message row hidden, idiom lines and lamps back to new, pick and counts 0.
    FlowTask<> SET_INIT();
    // Deals twenty idioms from the list onto the board. Returns false when the deal stopped
    // at a stage (the stage number was shown in a message box).
    FlowTask<bool> SET_RND();
    // Repaints the board's gradient when the colour scheme changed since the last paint.
    void SET_GRADE();
    // Compares the four-character pick with the hidden idioms: a find or a miss.
    FlowTask<> SET_CHECK();
    // A find: hides the picked tiles, writes the idiom into its line, then closes up.
    FlowTask<> SET_CLS();
    // Closes up the tiles: gaps in each row to the right, then empty rows take the row below.
    FlowTask<> SET_MOVE();
    // True when SET_MOVE would move at least one tile.
    bool movePending() const;
    // A miss: the pick taken back, a lamp out; the third miss ends the board.
    FlowTask<> SET_OUT();
    // The end of a lost board: "…残念至極…" and the idioms not found shown in black.
    FlowTask<> SET_OVER();
    // Reads the idiom list at strFILE for level `index`; a problem is told in the dialog.
    FlowTask<> READ_FILE(int index);
    // Names level `index`'s list in the program folder as strFILE, then reads it (READ_FILE).
    FlowTask<> readLevelFile(int index);

    // Asks through the dialog: cover, beep, dialog, uncover. Returns true when confirmed
    // (a notice always returns true).
    FlowTask<bool> ask(DialogMode mode, QString name = QString());
    // After a flow failed unexpectedly: the window open for input, the arrow pointer, no cover.
    void recoverFromFault();
    // Tells the player of such a failure in the dialog.
    FlowTask<> tellFault(QString what);

    // --- the game state, to read (1-based arrays keep their indices: entry 0 unused) ---
    const std::vector<Idiom> &idiomList() const { return strLIST; }
    int idiomCount() const { return intMAX; }
    const std::array<QString, kIdioms + 1> &hiddenIdioms() const { return strGOKU; }
    const std::array<int, kIdioms + 1> &foundFlags() const { return intFIND; }
    const std::array<QString, kCells> &dealtCharacters() const { return strMOJI; }
    const std::array<int, kCells> &occupiedCells() const { return intMOJI; }
    bool playing() const { return blnPLAY; }
    bool holding() const { return blnHOLD; }
    bool listRead() const { return blnREAD; }
    const QString &listFile() const { return strFILE; }
    const QString &picked() const { return strPICK; }
    int foundCount() const { return intGOT; }
    int misses() const { return intMISS; }
    int overStage() const { return intOVER; }
    int clearStage() const { return intCLEAR; }
    int pickCount() const { return intPICK; }
    int colorScheme() const { return intCOLOR; }
    // True while the last deal is complete (false after a deal that stopped at a stage).
    bool dealt() const { return dealt_; }

    // --- the player's store (game_resume.cpp) ---
    // Who is told of deals, picks and ends; none by default. It must outlive the game.
    void setObserver(GameObserver *observer) { observer_ = observer; }
    // The level in play (0..3).
    int level() const;
    // The board as dealt, and the board in play as it stands, for the store (ids and clock 0).
    DealtBoard dealtBoard() const;
    SavedBoard savedBoard() const;
    // Makes `level` the level in play with its list read elsewhere (entry 0 empty): its
    // label and tile colours as a level switch leaves them (the start level keeps the built
    // colours, as on every start), without a deal. Only between boards, at start-up.
    void takeLevel(int level, std::vector<Idiom> list);
    // Lays a checked board out again as it was, in play, on the level in play; the status
    // words say "再開" unless a pick is under way.
    void resumeBoard(const SavedBoard &board);
    // The status words beside the level label (the time after a win).
    void showStatusWords(const QString &words);

    // --- pause and hints (game_assist.cpp) ---
    // The board in play is paused: its tiles hidden, its clock stopped, picks refused.
    bool paused() const { return paused_; }
    // Pauses (only a board in play) or goes on; true when the state changed.
    bool setPaused(bool paused);
    // Hints given on the board in play, and the next one (none outside play). A reading shows
    // in the status words while no pick is under way.
    int hintCount() const { return hints_.count(); }
    Hint giveHint(const BoardHints::ReadingOf &readingOf);
    // The cells whose tile carries a hint's mark.
    std::vector<int> hintedCells() const;
    // A hint was given on hidden idiom k (1..20) of the board in play.
    bool hinted(int k) const { return hints_.hinted(k); }
    // The board in play is practice: a board played again (再度), never a record.
    bool practice() const { return practice_; }

    // --- review boards (review_deal.cpp) ---
    // Deals a board from `idioms` (twenty or more), asking first while a board is in play; the
    // level's list and colours stay, the level label reads ＜復習＞. 再度 replays it; 新規 and
    // a level chosen deal from the level again.
    FlowTask<> dealReview(std::vector<QString> idioms);
    // The board dealt last came from the notebook.
    bool reviewing() const { return review_; }
    // On a review board, a pick is a listed idiom when any level's list that reads has it.
    bool respellListed(const QString &pick) const { return review_ && respell_.contains(pick); }

private:
    std::vector<Idiom> strLIST{Idiom()};      // the idiom list read, entries 1..intMAX
    std::int16_t intMAX = 0;                  // number of idioms in strLIST
    std::array<QString, kIdioms + 1> strGOKU; // the twenty idioms hidden on the board
    std::array<int, kIdioms + 1> intFIND{};   // 1 once idiom k was found or revealed
    std::array<QString, kCells> strMOJI;      // each cell's character as dealt (for replay)
    std::array<int, kCells> intMOJI{};        // 1 while a cell holds a tile
    bool blnPLAY = false;                     // a board is in play
    bool blnHOLD = false;                     // the press was on an already picked tile
    bool blnREAD = false;                     // a list has been read: boards can be dealt
    QString strFILE;                          // path of the idiom list to read
    QString strPICK;                          // the characters picked so far
    std::int16_t intGOT = 0;                  // idioms found on this board
    std::int16_t intMISS = 0;                 // misses on this board
    std::int16_t intOVER = 0;                 // 1 after a lost board, 2 while asking replay or new
    std::int16_t intCLEAR = 0;                // 1 after a completed board, until the celebration
    std::int16_t intPICK = 0;                 // tiles picked so far (0..4)
    std::int16_t intCOLOR = 0;                // the colour scheme for the next board (0..6)
    std::int16_t intGRADE = 1;                // the colour scheme last painted
    bool paused_ = false;                     // the board in play is paused
    bool practice_ = false;                   // the board in play was laid out again by 再度
    bool wonBoard_ = false;                   // the last board was won: 再度 replays it
    BoardHints hints_;                        // hints given on the board in play

    // Shared steps of the flows.
    bool anyIdiomShown() const;
    // The level label for the board in play: practice, review or the level's own.
    void showLevelLabel();
    void playSound(Sound sound);
    void setEnabled(bool on);
    void setBusy(bool busy);
    FlowTask<> beginBusyFlow();
    FlowTask<> endBusyFlow();
    void clearTiles(bool visible);
    void showAllTiles();
    void writeMessageRow(const std::array<const char *, kMessageLength> &text);
    void showMessageRow(const std::array<const char *, kMessageLength> &text);
    // The row is taken by value: the flow reads it after it has waited.
    FlowTask<> showStartMessage(std::array<const char *, kMessageLength> text);
    FlowTask<> dealBoard();
    FlowTask<> dealStopped(int stage);
    FlowTask<> dealFailed();
    FlowTask<> pickTile(Tile &tile);
    void cancelPick();
    FlowTask<> clickBetweenBoards(int index, Tile &tile);
    FlowTask<> boardComplete();
    FlowTask<> celebrate();
    FlowTask<> moveTile(int s, int d);
    int closeUpSource(int cell) const;
    bool rowTakesRowBelow(int row) const;
    FlowTask<> refuseList(int index, DialogMode why);
    FlowTask<> readError(int index);
    // Telling the observer (game_resume.cpp).
    void tellStarted(bool replay);
    void leaveBoard(BoardLeaving why);
    void tellPick(int idiom, const QString &spelled);
    void tellTakeBack();

    ProgramState &g_;
    Platform &p_;
    GameHost &host_;
    BoardModel m_;
    bool dealt_ = false;
    GameObserver *observer_ = nullptr;
    bool review_ = false;    // the board came from the notebook
    QSet<QString> respell_;  // every idiom of the level lists that read, for a review board
    void enterReview(bool on);
};

} // namespace horokata
