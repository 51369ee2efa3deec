// Playing the main window from the keyboard: the keys, the focus that follows the tiles, and
// what the board tells a screen reader.
#include "main_window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace horokata {

namespace {

// The lamp that takes the focus when lamp `h` goes out: the next lower lamp still showing,
// else any lamp showing; -1 when none is left.
int showingLamp(const BoardModel &m, int h)
{
    for (int k = std::min(h, kLamps - 1); k >= 0; --k)
        if (m.chkLIFE[static_cast<std::size_t>(k)].Visible)
            return k;
    for (int k = kLamps - 1; k >= 0; --k)
        if (m.chkLIFE[static_cast<std::size_t>(k)].Visible)
            return k;
    return -1;
}

} // namespace

std::array<QPushButton *, MainWindow::kTitleButtons> MainWindow::titleButtons() const
{
    // Left to right, as they sit on the title bar.
    return {cmdMENU, cmdEXIT, cmdRESET, cmdSELECT, cmdNEW};
}

void MainWindow::focusSink()
{
    keyArea_ = KeyArea::None;
    cmdFOCUS->setFocus();
}

QWidget *MainWindow::keyFocusWidget()
{
    const BoardModel &m = game_.model();
    if (keyArea_ == KeyArea::Lamp) {
        const int h = showingLamp(m, keyIndex_);
        if (h >= 0) {
            keyIndex_ = h;
            return lamp(h);
        }
        keyArea_ = KeyArea::Board; // the last lamp went out: on to the board
    }
    if (keyArea_ == KeyArea::Board) {
        const int cell = nearestShowingTile(m, boardCell_);
        if (cell >= 0) {
            boardCell_ = cell;
            return tile(cell);
        }
        return cmdFOCUS; // nothing shows on the board for the moment
    }
    if (keyArea_ == KeyArea::Button)
        return titleButtons()[static_cast<std::size_t>(std::clamp(keyIndex_, 0, kTitleButtons - 1))];
    return cmdFOCUS;
}

void MainWindow::applyKeyFocus()
{
    // A disabled window has no focus (a flow runs); it comes back when the flow ends.
    if (!isEnabled())
        return;
    QWidget *target = keyFocusWidget();
    if (target && focusWidget() != target)
        target->setFocus(Qt::OtherFocusReason);
    tellNews();
}

void MainWindow::tellNews()
{
    QWidget *holder = focusWidget();
    if (newsHolder_ && newsHolder_ != holder) {
        // The news was for the moment it happened: the focus has moved on since.
        newsHolder_->setAccessibleDescription(QString());
        newsHolder_ = nullptr;
    }
    if (pendingNews_.isEmpty() || !holder)
        return;
    const QString text = pendingNews_.join(QLatin1Char(' '));
    pendingNews_.clear();
    // Told again when the same words come twice (two boards dealt in a row).
    if (holder->accessibleDescription() == text)
        holder->setAccessibleDescription(QString());
    holder->setAccessibleDescription(text);
    newsHolder_ = holder;
}

void MainWindow::moveKeyFocus(KeyArea area, int index)
{
    keyArea_ = area;
    if (area == KeyArea::Board)
        boardCell_ = index;
    else
        keyIndex_ = index;
    applyKeyFocus();
}

void MainWindow::cycleKeyFocus(bool next)
{
    // The stops in order: the five title-bar buttons, the board, the lamps that show.
    struct Stop {
        KeyArea area;
        int index;
    };
    std::vector<Stop> stops;
    for (int b = 0; b < kTitleButtons; ++b)
        stops.push_back({KeyArea::Button, b});
    if (nearestShowingTile(game_.model(), boardCell_) >= 0)
        stops.push_back({KeyArea::Board, boardCell_});
    for (int h = 0; h < kLamps; ++h)
        if (game_.model().chkLIFE[static_cast<std::size_t>(h)].Visible)
            stops.push_back({KeyArea::Lamp, h});
    const int n = static_cast<int>(stops.size());
    int at = -1;
    for (int k = 0; k < n; ++k) {
        const Stop &s = stops[static_cast<std::size_t>(k)];
        if (s.area == keyArea_ && (s.area == KeyArea::Board || s.index == keyIndex_))
            at = k;
    }
    const int to = at < 0 ? (next ? 0 : n - 1) : (at + (next ? 1 : n - 1)) % n;
    const Stop &s = stops[static_cast<std::size_t>(to)];
    moveKeyFocus(s.area, s.index);
}

bool MainWindow::focusNextPrevChild(bool next)
{
    // A focused tile or lamp that is being hidden keeps the focus until the sync that hid it
    // places it on the nearest one still showing.
    if (QWidget *f = focusWidget(); f && f->isHidden())
        return true;
    cycleKeyFocus(next);
    return true;
}

void MainWindow::backToWindow()
{
    // After a popup or the effect closes, the keys come back to the game.
    if (isVisible() && !isMinimized())
        activateWindow();
}

void MainWindow::activateFromKeys()
{
    switch (keyArea_) {
    case KeyArea::None:
        return;
    case KeyArea::Board: {
        // Exactly a left click: press, the tile's own flip, release.
        const int cell = boardCell_;
        act([this, cell] {
            game_.MOJI_MouseDown(cell, MouseButton::Left);
            game_.MOJI_Flip(cell);
        });
        flow(game_.MOJI_MouseUp(cell, MouseButton::Left));
        return;
    }
    case KeyArea::Lamp:
        flow(game_.chkLIFE_MouseUp(keyIndex_));
        return;
    case KeyArea::Button:
        break;
    }
    // The focused button's command; the focus stays where it is.
    commands_[static_cast<std::size_t>(keyIndex_)]->trigger();
}

// An arrow moves the focus over the showing tiles, along the title bar or over the lamps.
void MainWindow::arrowKey(int key)
{
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    if (keyArea_ == KeyArea::Board) {
        const FocusStep step = horizontal ? (forward ? FocusStep::Right : FocusStep::Left)
                                          : (forward ? FocusStep::Down : FocusStep::Up);
        moveKeyFocus(KeyArea::Board, stepToShowingTile(game_.model(), boardCell_, step));
    } else if (keyArea_ == KeyArea::None) {
        // The first arrow shows the frame where the board's focus was.
        moveKeyFocus(KeyArea::Board, boardCell_);
    } else if (horizontal && keyArea_ == KeyArea::Button) {
        moveKeyFocus(KeyArea::Button, std::clamp(keyIndex_ + (forward ? 1 : -1), 0, kTitleButtons - 1));
    } else if (horizontal && keyArea_ == KeyArea::Lamp) {
        int h = keyIndex_ + (forward ? 1 : -1);
        if (h >= 0 && h < kLamps && game_.model().chkLIFE[static_cast<std::size_t>(h)].Visible)
            moveKeyFocus(KeyArea::Lamp, h);
    }
}

bool MainWindow::handleKey(QKeyEvent *e)
{
    // While a flow runs the window is disabled: keys are dropped like clicks, never queued.
    if (!isEnabled())
        return true;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier);
    const int key = e->key();
    // Commands act once per press; only the arrows repeat while held.
    const bool once = !e->isAutoRepeat();

    // A command's shortcut that reaches the keys (held down) is dropped.
    const QKeySequence pressed(e->keyCombination());
    for (const QAction *c : commands_)
        if (!c->shortcut().isEmpty() && c->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return true;
    if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
        cycleKeyFocus(false);
        return true;
    }
    // Ctrl+H the records, Ctrl+I the idiom notebook.
    if (mods == Qt::ControlModifier && (key == Qt::Key_H || key == Qt::Key_I)) {
        if (once && key == Qt::Key_H)
            showRecords();
        else if (once)
            showNotebook();
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_Tab:
        cycleKeyFocus(true);
        return true;
    case Qt::Key_F1:
        if (once)
            showHelp();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        arrowKey(key);
        return true;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (once)
            activateFromKeys();
        return true;
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
        if (keyArea_ != KeyArea::Board)
            return false;
        // A right press on the board: the pick is taken back.
        if (once)
            flow(game_.picBACK_MouseDown(MouseButton::Right));
        return true;
    default:
        return false;
    }
}

} // namespace horokata
