// The board as the player sees it: tiles, idiom lines, lamps, the level and the pick so far,
// kept in step with the board model.
#pragma once

#include "idioms/idiom_dictionary.h"
#include "main_window/board_area.h"
#include "main_window/lamp_button.h"
#include "main_window/tile_button.h"
#include "puzzle/board_model.h"

#include <QLabel>
#include <array>
#include <vector>

class QFrame;

namespace horokata {

// A plain part of the main window: it makes the board's controls where the window asks, in
// the window's order, and mirrors the model into them. The window wires their input.
class BoardView {
public:
    explicit BoardView(const QString &programFolder);

    // The level label and the status words on the title bar (beneath its buttons).
    void buildStatus(QFrame *bar);
    // The cover over the bar's right part while a dialog is open.
    void buildCover(QFrame *bar);
    // The board and its tiles, numbered down each column.
    void buildBoard(QWidget *window);
    // Side panel: twenty idiom lines, the miss lamps and their caption.
    void buildSidePanel(QWidget *window);

    // Mirrors the model into the controls.
    void sync(const BoardModel &m);
    // The status words just right of the level label.
    void placeStatus();
    // The play clock's words ("1:05"; "" on the title board), read as "時間 1:05".
    void showClock(const QString &time) const;
    // The hints given on the board in play ("ヒント 2"), blank with no board in play.
    void showHints(int count, bool inPlay) const;
    // The tiles at `cells` carry a hint's mark; the others none.
    void markHints(const std::vector<int> &cells);
    // The dictionary's reading of an idiom ("" when it has none).
    QString readingOf(const QString &idiom) { return cards_.readingOf(idiom); }

    TileButton *tile(int i) const { return MOJI[static_cast<std::size_t>(i)]; }
    QLabel *line(int k) const { return lblGO[static_cast<std::size_t>(k)]; }
    LampButton *lamp(int h) const { return chkLIFE[static_cast<std::size_t>(h)]; }
    const std::array<QLabel *, kIdioms> &lines() const { return lblGO; }
    QLabel *statusLabel() const { return lblGOKU; }
    QLabel *levelLabel() const { return lblLEVEL; }
    QLabel *clockLabel() const { return lblTIME; }
    QLabel *hintLabel() const { return lblHINT; }
    QLabel *cover() const { return imgOFF; }
    BoardArea *board() const { return picBACK; }

private:
    void syncLines(const BoardModel &m);
    void syncStatus(const BoardModel &m);
    void placeClock() const;

    static constexpr int kClockRight = 541; // the clock's right edge, just left of imgSYS
    static constexpr int kClockWidth = 48;  // room for h:mm:ss and "ヒント 99"
    // The line's card (idiom, reading, meaning) as its tooltip and accessible description.
    void showCard(QLabel *line, const QString &caption);

    IdiomCards cards_;
    QLabel *lblGOKU = nullptr;                  // status words and the pick so far
    QLabel *lblLEVEL = nullptr;                 // the level in play
    QLabel *lblTIME = nullptr;                  // the play clock, right of the status words
    QLabel *lblHINT = nullptr;                  // the hints given, under the clock
    QLabel *imgOFF = nullptr;                   // the cover over the bar's right part while a dialog is open
    BoardArea *picBACK = nullptr;               // the board behind the tiles
    std::array<TileButton *, kCells> MOJI{};    // the tiles
    QFrame *picSIDE = nullptr;                  // the side panel
    std::array<QLabel *, kIdioms> lblGO{};      // the idiom lines
    std::array<LampButton *, kLamps> chkLIFE{}; // the miss lamps
    QLabel *Label1 = nullptr;                   // "手違", the lamps' caption
};

// A picture from the program's art drawn at the game's size, or a plain fill of its size (the
// design's size, scaled) when it is missing.
QPixmap artOr(const QString &path, QSize size, const QColor &fill);

} // namespace horokata
