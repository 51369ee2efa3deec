// The visible state of the main window as plain data: tiles, idiom lines, lamps, labels.
#pragma once

#include "puzzle/colors.h"

#include <QString>
#include <array>

namespace horokata {

constexpr int kCells = 80;
constexpr int kColumns = 10;
constexpr int kRows = 8;
constexpr int kCellSize = 48;
constexpr int kIdioms = 20;
constexpr int kLamps = 3;
// The message row: row 3, columns 2 to 7.
constexpr std::array<int, 6> kMessageCells = {19, 27, 35, 43, 51, 59};

constexpr int columnOf(int cell) { return cell / kRows; }
constexpr int rowOf(int cell) { return cell % kRows; }
constexpr int cellLeft(int cell) { return kCellSize * columnOf(cell); }
constexpr int cellTop(int cell) { return kCellSize * rowOf(cell); }

constexpr Rgb kLineGreen = RGB(0, 255, 0);
constexpr Rgb kLineBlack = RGB(0, 0, 0);
constexpr Rgb kLampGreen = RGB(0, 255, 0);
constexpr Rgb kLampYellow = RGB(255, 255, 0);
constexpr Rgb kLampRed = RGB(255, 0, 0);
constexpr Rgb kBuiltTileBack = RGB(0, 192, 0);
constexpr Rgb kBuiltTileFore = RGB(0, 0, 192);
constexpr Rgb kStatusYellow = RGB(255, 255, 0);

struct Tile {
    QString Caption;
    int Value = 0; // 1 = picked (shown pressed)
    bool Visible = true;
    Rgb BackColor = kBuiltTileBack;
    Rgb ForeColor = kBuiltTileFore;
};

struct IdiomLine {
    QString Caption;
    Rgb ForeColor = kLineGreen;
};

// The lamps' tips: lamp h shows while h + 1 misses are left.
constexpr std::array<const char *, kLamps> kLampTips = {"あと １回", "あと ２回", "あと ３回"};

struct Lamp {
    bool Visible = true;
    Rgb BackColor = kLampGreen;
};

struct BoardModel {
    std::array<Tile, kCells> MOJI;
    std::array<IdiomLine, kIdioms> lblGO;
    std::array<Lamp, kLamps> chkLIFE;
    QString lblGOKU;                     // status words and the pick so far
    Rgb lblGOKUColor = kStatusYellow;
    QString lblLEVEL;
    int imgOFFTop = 32;                  // 0 while a dialog is open
    bool enabled = true;                 // the main window takes input
    bool busyPointer = false;
    int paintedScheme = -1;              // colour scheme painted into the board area, -1 none
    int gradientPaints = 0;              // how often the gradient was painted

    BoardModel();
};

// The two-digit line number with the full-width colon: "01：" .. "20：".
QString lineNumber(int line);

// Colour of gradient band i (0..192) for scheme c.
Rgb gradientBand(int scheme, int band);
constexpr int kGradientBands = 193;

} // namespace horokata
