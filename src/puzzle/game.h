// The game's rules: the state of one game and every flow that changes it (Form1's logic).
#pragma once

#include "app/module1.h"
#include "idioms/idiom.h"
#include "puzzle/board_model.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace horokata {

class Platform;

// What the game needs from the windows around it.
class GameHost {
public:
    virtual ~GameHost() = default;
    // The confirmation dialog: shows the mode in intMSG modally; sets blnCANCEL on "いいえ ×".
    virtual void SET_FORM2() = 0;
    // The celebration: returns when the effect window has played and closed.
    virtual void playCelebration() = 0;
    // Close the main window (the program then ends through its unload handling).
    virtual void closeMainWindow() = 0;
};

enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

class Game {
public:
    Game(Module1 &globals, Platform &platform, GameHost &host);

    BoardModel &model() { return m_; }
    const BoardModel &model() const { return m_; }
    Module1 &globals() { return g_; }

    // --- start-up (the window-independent steps of the main window's construction) ---
    // Steps 8 to 11: state, splash, level variables, first list read.
    void loadFirstList(const QString &programFolder);
    // Step 15: level label and status after construction.
    void finishLoad();

    // --- commands ---
    void cmdNEW_Click();
    void cmdRESET_Click();
    void chkLIFE_MouseUp(int index);
    void NEW_FILE(int index);

    // --- tiles and board ---
    void MOJI_MouseDown(int index, MouseButton button);
    // The tile's own flip of Value between press and release (left button only).
    void MOJI_Flip(int index);
    void MOJI_MouseUp(int index, MouseButton button);
    // Press, flip, release in the order the tile delivers them.
    void clickTile(int index, MouseButton button);
    void picBACK_MouseDown(MouseButton button);

    // --- flows ---
    void SET_INIT();
    // Returns false when the deal stopped at a stage (the stage number was shown).
    bool SET_RND();
    void SET_GRADE();
    void SET_CHECK();
    void SET_CLS();
    void SET_MOVE();
    // True when SET_MOVE would move at least one tile.
    bool movePending() const;
    void SET_OUT();
    void SET_OVER();
    void READ_FILE(int index);

    // Asking through the dialog: cover, beep, dialog, uncover. Returns true when confirmed.
    bool ask(int mode);

    // --- game state (1-based arrays keep their indices: entry 0 unused) ---
    std::vector<Idiom> strLIST{Idiom()};
    std::int16_t intMAX = 0;
    std::array<QString, kIdioms + 1> strGOKU;
    std::array<int, kIdioms + 1> intFIND{};
    std::array<QString, kCells> strMOJI;
    std::array<int, kCells> intMOJI{};
    vbBool blnPLAY = vbFalse;
    vbBool blnHOLD = vbFalse;
    vbBool blnSYS1 = vbFalse;
    vbBool blnSYS2 = vbFalse;
    vbBool blnREAD = vbFalse;
    QString strFILE;
    QString strPICK;
    std::int16_t intGOT = 0;
    std::int16_t intMISS = 0;
    std::int16_t intOVER = 0;
    std::int16_t intCLEAR = 0;
    std::int16_t intPICK = 0;
    std::int16_t intCOLOR = 0;
    std::int16_t intGRADE = 1;

    // True while the last deal is complete (false after a deal that stopped at a stage).
    bool dealt() const { return dealt_; }
    // True once a read error has asked the main window to close.
    bool closing() const { return closing_; }

    // Checks the invariants of a board in play; returns a description of the first broken one.
    QString checkInvariants() const;

private:
    void playSlot(int slot);
    void setEnabled(bool on);
    void setBusy(bool busy);
    void showMessageRow(const std::array<const char *, 6> &text);
    void showTitleRow();
    void hideAllTiles();
    void showStartMessage(const std::array<const char *, 6> &text);
    void moveTile(int s, int d);
    void dealFailed();
    void cancelPick();

    Module1 &g_;
    Platform &p_;
    GameHost &host_;
    BoardModel m_;
    bool dealt_ = false;
    bool closing_ = false; // a read error is closing the program
};

} // namespace horokata
