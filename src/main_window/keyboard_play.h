// Playing the main window from the keyboard: the keys, the focus that follows the tiles, and
// what the board tells a screen reader.
#pragma once

#include "puzzle/board_focus.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <array>

class QKeyEvent;
class QPushButton;

namespace horokata {

class MainWindow;

// Where the keyboard focus is: nowhere visible (the off-screen sink, where every mouse
// click puts it), a title-bar button, a tile of the board, or a miss lamp.
enum class KeyArea { None, Button, Board, Lamp };

// A plain part of the main window: it moves the focus over the window's controls and sends
// the keys' commands to the window.
class KeyboardPlay {
public:
    explicit KeyboardPlay(MainWindow &window) : w_(window) {}

    KeyArea area() const { return area_; }
    // The focused board cell (kept while the focus is elsewhere), or title button / lamp index.
    int cell() const { return cell_; }
    int index() const { return index_; }
    // A click on a tile: remembered, not shown; the arrows start from it.
    void clickedCell(int cell) { cell_ = cell; }
    // The widget that carries the keyboard focus for the area above.
    QWidget *keyFocusWidget();

    // Mouse paths: the focus goes to the off-screen sink, so no frame shows.
    void focusSink();
    // A key pressed anywhere in the window: true when it was taken.
    bool handleKey(QKeyEvent *e);
    // Tab and Backtab.
    bool focusNextPrevChild(bool next);
    // After every sync: the board's news gathered, the focus following its cell or lamp.
    void boardLooked(const BoardModel &m, const BoardMarks &marks);
    // After a popup or the effect closes, the keys come back to the game.
    void backToWindow();
    // News for a screen reader that no board change carries (a hint's reading).
    void tell(const QString &news)
    {
        pending_ << news;
        tellNews();
    }

private:
    void arrowKey(int key);
    void moveKeyFocus(KeyArea area, int index);
    void cycleKeyFocus(bool next);
    void activateFromKeys();
    void applyKeyFocus();
    void tellNews();
    std::array<QPushButton *, 5> titleButtons() const;

    MainWindow &w_;
    KeyArea area_ = KeyArea::None;
    int index_ = 0;
    int cell_ = 0;
    BoardNews news_;            // what changed on the board since the last look
    QStringList pending_;       // news not yet told
    QPointer<QWidget> holder_;  // the control whose description tells the last news
};

} // namespace horokata
