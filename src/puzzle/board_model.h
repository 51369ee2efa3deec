// The visible state of the main window as plain data: tiles, idiom lines, lamps, labels.
#pragma once

#include "platform/colors.h"

#include <QString>
#include <array>

namespace horokata {

constexpr int kCells = 80;
constexpr int kColumns = 10;
constexpr int kRows = 8;
constexpr int kCellSize = 48;
constexpr int kIdioms = 20;
constexpr int kLamps = 3;

// Cells are numbered down each column: cell i lies in column i / 8, row i % 8.
constexpr int columnOf(int cell) { return cell / kRows; }
constexpr int rowOf(int cell) { return cell % kRows; }
constexpr int cellIndex(int column, int row) { return column * kRows + row; }
constexpr int cellLeft(int cell) { return kCellSize * columnOf(cell); }
constexpr int cellTop(int cell) { return kCellSize * rowOf(cell); }

// The message row, on which six-character messages are spelled one character per tile:
// row 3, columns 2 to 7 (cells 19, 27, 35, 43, 51, 59).
constexpr int kMessageLength = 6;
constexpr std::array<int, kMessageLength> kMessageCells = {
    cellIndex(2, 3), cellIndex(3, 3), cellIndex(4, 3), cellIndex(5, 3), cellIndex(6, 3), cellIndex(7, 3)};
static_assert(kMessageCells[0] == 19 && kMessageCells[5] == 59);

// Position 0..5 of a cell on the message row, or -1 for a cell off it.
constexpr int messagePosition(int cell)
{
    for (int k = 0; k < kMessageLength; ++k)
        if (kMessageCells[static_cast<std::size_t>(k)] == cell)
            return k;
    return -1;
}

constexpr Rgb kLineGreen = RGB(0, 255, 0);
constexpr Rgb kLineBlack = RGB(0, 0, 0);
constexpr Rgb kLampGreen = RGB(0, 255, 0);
constexpr Rgb kLampYellow = RGB(255, 255, 0);
constexpr Rgb kLampRed = RGB(255, 0, 0);
constexpr Rgb kBuiltTileBack = RGB(0, 192, 0);
constexpr Rgb kBuiltTileFore = RGB(0, 0, 192);
constexpr Rgb kStatusYellow = RGB(255, 255, 0);
constexpr Rgb kStatusGreen = RGB(0, 255, 0);

// Top of the title bar's cover image: below the 25-pixel bar (out of sight), or over the
// bar's right part (window buttons, level and status) while a dialog is open.
constexpr int kCoverHidden = 32;
constexpr int kCoverShown = 0;

// One tile of the board (a toggle button in the window).
struct Tile {
    QString Caption; // its character, or empty
    int Value = 0;   // 1 = picked (shown pressed)
    bool Visible = true;
    Rgb BackColor = kBuiltTileBack;
    Rgb ForeColor = kBuiltTileFore;
};

// One line of the side panel: "01：" and, once found or revealed, the idiom.
struct IdiomLine {
    QString Caption;
    Rgb ForeColor = kLineGreen; // black for an idiom revealed after a lost board
};

// The lamps' tips: lamp h shows while h + 1 misses are left.
constexpr std::array<const char *, kLamps> kLampTips = {"あと １回", "あと ２回", "あと ３回"};

// One miss lamp: a lamp goes out with each miss; the lamps turn yellow, then red.
struct Lamp {
    bool Visible = true;
    Rgb BackColor = kLampGreen;
};

struct BoardModel {
    std::array<Tile, kCells> MOJI;        // the tiles, numbered down each column
    std::array<IdiomLine, kIdioms> lblGO; // the side panel's twenty idiom lines
    std::array<Lamp, kLamps> chkLIFE;     // the three miss lamps
    QString lblGOKU;                     // status words and the pick so far
    Rgb lblGOKUColor = kStatusYellow;
    QString lblLEVEL;                    // level label in the title bar
    QString lblLEVELName;                // what a screen reader hears of it, when not the label itself
    int imgOFFTop = kCoverHidden;        // the title-bar cover; kCoverShown while a dialog is open
    bool enabled = true;                 // the main window takes input
    bool busyPointer = false;
    int paintedScheme = -1;              // colour scheme painted into the board area, -1 none
    int gradientPaints = 0;              // how often the gradient was painted
    bool paused = false;                 // the board is paused: no tile shows its character
    QString statusTip;                   // a hint's full reading while the status words show it

    BoardModel();
};

// The lamps as they stand after `misses` misses (0..3): they go out from the right, and the
// ones left turn yellow after the first miss and red after the second.
void showLampsAfterMisses(std::array<Lamp, kLamps> &lamps, int misses);

// The two-digit line number with the full-width colon: "01：" .. "20：".
QString lineNumber(int line);

// Colour of gradient band i (0..192) for scheme c (0..6; each cleared board moves on one).
Rgb gradientBand(int scheme, int band);
constexpr int kGradientBands = 193;
constexpr int kColorSchemes = 7;

} // namespace horokata
