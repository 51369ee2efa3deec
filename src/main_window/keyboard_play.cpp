// Playing the main window from the keyboard: the keys, the focus that follows the tiles, and
// what the board tells a screen reader.
#include "main_window/keyboard_play.h"

#include "main_window/main_window.h"
#include "main_window/records_presenter.h"

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

std::array<QPushButton *, 5> KeyboardPlay::titleButtons() const
{
    // Left to right, as they sit on the title bar.
    return {w_.cmdMENU, w_.cmdEXIT, w_.cmdRESET, w_.cmdSELECT, w_.cmdNEW};
}

void KeyboardPlay::focusSink()
{
    area_ = KeyArea::None;
    w_.cmdFOCUS->setFocus();
}

QWidget *KeyboardPlay::keyFocusWidget()
{
    const BoardModel &m = w_.game_.model();
    if (area_ == KeyArea::Lamp) {
        const int h = showingLamp(m, index_);
        if (h >= 0) {
            index_ = h;
            return w_.board_.lamp(h);
        }
        area_ = KeyArea::Board; // the last lamp went out: on to the board
    }
    if (area_ == KeyArea::Board) {
        const int cell = nearestShowingTile(m, cell_);
        if (cell >= 0) {
            cell_ = cell;
            return w_.board_.tile(cell);
        }
        return w_.cmdFOCUS; // nothing shows on the board for the moment
    }
    if (area_ == KeyArea::Button)
        return titleButtons()[static_cast<std::size_t>(std::clamp(index_, 0, MainWindow::kTitleButtons - 1))];
    return w_.cmdFOCUS;
}

void KeyboardPlay::applyKeyFocus()
{
    // A disabled window has no focus (a flow runs); it comes back when the flow ends. A
    // paused board leaves the focus on its cover.
    if (!w_.isEnabled() || w_.game_.paused())
        return;
    QWidget *target = keyFocusWidget();
    if (target && w_.focusWidget() != target)
        target->setFocus(Qt::OtherFocusReason);
    tellNews();
}

void KeyboardPlay::tellNews()
{
    QWidget *holder = w_.focusWidget();
    if (holder_ && holder_ != holder) {
        // The news was for the moment it happened: the focus has moved on since.
        holder_->setAccessibleDescription(QString());
        holder_ = nullptr;
    }
    if (pending_.isEmpty() || !holder)
        return;
    const QString text = pending_.join(QLatin1Char(' '));
    pending_.clear();
    // Told again when the same words come twice (two boards dealt in a row).
    if (holder->accessibleDescription() == text)
        holder->setAccessibleDescription(QString());
    holder->setAccessibleDescription(text);
    holder_ = holder;
}

void KeyboardPlay::moveKeyFocus(KeyArea area, int index)
{
    area_ = area;
    if (area == KeyArea::Board)
        cell_ = index;
    else
        index_ = index;
    applyKeyFocus();
}

void KeyboardPlay::cycleKeyFocus(bool next)
{
    // The stops in order: the five title-bar buttons, the board, the lamps that show.
    struct Stop {
        KeyArea area;
        int index;
    };
    std::vector<Stop> stops;
    for (int b = 0; b < MainWindow::kTitleButtons; ++b)
        stops.push_back({KeyArea::Button, b});
    if (nearestShowingTile(w_.game_.model(), cell_) >= 0)
        stops.push_back({KeyArea::Board, cell_});
    for (int h = 0; h < kLamps; ++h)
        if (w_.game_.model().chkLIFE[static_cast<std::size_t>(h)].Visible)
            stops.push_back({KeyArea::Lamp, h});
    const int n = static_cast<int>(stops.size());
    int at = -1;
    for (int k = 0; k < n; ++k) {
        const Stop &s = stops[static_cast<std::size_t>(k)];
        if (s.area == area_ && (s.area == KeyArea::Board || s.index == index_))
            at = k;
    }
    const int to = at < 0 ? (next ? 0 : n - 1) : (at + (next ? 1 : n - 1)) % n;
    const Stop &s = stops[static_cast<std::size_t>(to)];
    moveKeyFocus(s.area, s.index);
}

bool KeyboardPlay::focusNextPrevChild(bool next)
{
    // A focused tile or lamp that is being hidden keeps the focus until the sync that hid it
    // places it on the nearest one still showing.
    if (QWidget *f = w_.focusWidget(); f && f->isHidden())
        return true;
    cycleKeyFocus(next);
    return true;
}

void KeyboardPlay::boardLooked(const BoardModel &m, const BoardMarks &marks)
{
    pending_ += news_.look(m, marks);
    applyKeyFocus();
}

void KeyboardPlay::backToWindow()
{
    // After a popup or the effect closes, the keys come back to the game.
    if (w_.isVisible() && !w_.isMinimized())
        w_.activateWindow();
}

void KeyboardPlay::activateFromKeys()
{
    switch (area_) {
    case KeyArea::None:
        return;
    case KeyArea::Board: {
        // Exactly a left click: press, the tile's own flip, release.
        const int cell = cell_;
        w_.act([this, cell] {
            w_.game_.MOJI_MouseDown(cell, MouseButton::Left);
            w_.game_.MOJI_Flip(cell);
        });
        w_.flow(w_.game_.MOJI_MouseUp(cell, MouseButton::Left));
        return;
    }
    case KeyArea::Lamp:
        w_.flow(w_.game_.chkLIFE_MouseUp(index_));
        return;
    case KeyArea::Button:
        break;
    }
    // The focused button's command; the focus stays where it is.
    w_.commands_[static_cast<std::size_t>(index_)]->trigger();
}

// An arrow moves the focus over the showing tiles, along the title bar or over the lamps.
void KeyboardPlay::arrowKey(int key)
{
    const bool horizontal = key == Qt::Key_Left || key == Qt::Key_Right;
    const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
    if (area_ == KeyArea::Board) {
        const FocusStep step = horizontal ? (forward ? FocusStep::Right : FocusStep::Left)
                                          : (forward ? FocusStep::Down : FocusStep::Up);
        moveKeyFocus(KeyArea::Board, stepToShowingTile(w_.game_.model(), cell_, step));
    } else if (area_ == KeyArea::None) {
        // The first arrow shows the frame where the board's focus was.
        moveKeyFocus(KeyArea::Board, cell_);
    } else if (horizontal && area_ == KeyArea::Button) {
        moveKeyFocus(KeyArea::Button, std::clamp(index_ + (forward ? 1 : -1), 0, MainWindow::kTitleButtons - 1));
    } else if (horizontal && area_ == KeyArea::Lamp) {
        int h = index_ + (forward ? 1 : -1);
        if (h >= 0 && h < kLamps && w_.game_.model().chkLIFE[static_cast<std::size_t>(h)].Visible)
            moveKeyFocus(KeyArea::Lamp, h);
    }
}

bool KeyboardPlay::handleKey(QKeyEvent *e)
{
    // While a flow runs the window is disabled: keys are dropped like clicks, never queued.
    if (!w_.isEnabled())
        return true;
    // A paused board's keys are its cover's.
    if (w_.game_.paused())
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier);
    const int key = e->key();
    // Commands act once per press; only the arrows repeat while held.
    const bool once = !e->isAutoRepeat();

    // A command's shortcut that reaches the keys (held down) is dropped.
    const QKeySequence pressed(e->keyCombination());
    for (const QAction *c : w_.commands_)
        if (!c->shortcut().isEmpty() && c->shortcut().matches(pressed) == QKeySequence::ExactMatch)
            return true;
    if (key == Qt::Key_Backtab || (key == Qt::Key_Tab && mods == Qt::ShiftModifier)) {
        cycleKeyFocus(false);
        return true;
    }
    // Ctrl+H the records, Ctrl+I the idiom notebook.
    if (mods == Qt::ControlModifier && (key == Qt::Key_H || key == Qt::Key_I)) {
        if (once && key == Qt::Key_H)
            w_.records_->showRecords();
        else if (once)
            w_.records_->showNotebook(QString());
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
            w_.showHelp();
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
        // Wherever the focus stands (a mouse pick leaves it on the sink), a pick in progress
        // is taken back as by a right press on the board; with no pick the key does nothing.
        if (!w_.game_.playing() || w_.game_.pickCount() == 0)
            return true;
        if (once)
            w_.flow(w_.game_.picBACK_MouseDown(MouseButton::Right));
        return true;
    default:
        return false;
    }
}

} // namespace horokata
