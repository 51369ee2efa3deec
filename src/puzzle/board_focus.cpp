// Keyboard focus on the board and what the board tells a screen reader.
#include "puzzle/board_focus.h"

#include <cstdlib>
#include <limits>

namespace horokata {

namespace {

bool showing(const BoardModel &m, int cell)
{
    return cell >= 0 && cell < kCells && m.MOJI[static_cast<std::size_t>(cell)].Visible;
}

} // namespace

int nearestShowingTile(const BoardModel &m, int cell)
{
    if (showing(m, cell))
        return cell;
    if (cell < 0 || cell >= kCells)
        cell = 0;
    const int c0 = columnOf(cell);
    const int r0 = rowOf(cell);
    int best = -1;
    // Lexicographic score: distance, then rows away, then columns to the left, then rows down.
    long bestScore = std::numeric_limits<long>::max();
    for (int i = 0; i < kCells; ++i) {
        if (!showing(m, i))
            continue;
        const int dc = columnOf(i) - c0;
        const int dr = rowOf(i) - r0;
        const long score = ((static_cast<long>(dc * dc + dr * dr) * 16 + std::abs(dr)) * 16 + (dc < 0 ? 1 : 0)) * 2
            + (dr > 0 ? 1 : 0);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

int stepToShowingTile(const BoardModel &m, int cell, FocusStep step)
{
    if (cell < 0 || cell >= kCells)
        return cell;
    const int c0 = columnOf(cell);
    const int r0 = rowOf(cell);
    int dc = 0, dr = 0;
    switch (step) {
    case FocusStep::Left: dc = -1; break;
    case FocusStep::Right: dc = 1; break;
    case FocusStep::Up: dr = -1; break;
    case FocusStep::Down: dr = 1; break;
    }
    // Along the line first, over empty cells.
    for (int c = c0 + dc, r = r0 + dr; c >= 0 && c < kColumns && r >= 0 && r < kRows; c += dc, r += dr)
        if (showing(m, cellIndex(c, r)))
            return cellIndex(c, r);
    // Otherwise the closest tile on that side: fewest steps forward, then fewest sideways.
    int best = cell;
    long bestScore = std::numeric_limits<long>::max();
    for (int i = 0; i < kCells; ++i) {
        if (!showing(m, i))
            continue;
        const int forward = dc != 0 ? (columnOf(i) - c0) * dc : (rowOf(i) - r0) * dr;
        const int sideways = dc != 0 ? std::abs(rowOf(i) - r0) : std::abs(columnOf(i) - c0);
        if (forward <= 0)
            continue;
        const long score = static_cast<long>(forward) * 64 + sideways * 2 + (i < cell ? 1 : 0);
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

QString messageRowAlone(const BoardModel &m)
{
    QString row;
    for (int i = 0; i < kCells; ++i) {
        const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
        if (messagePosition(i) >= 0) {
            if (!t.Visible || t.Caption.isEmpty())
                return QString();
        } else if (t.Visible && !t.Caption.isEmpty()) {
            return QString();
        }
    }
    for (int i : kMessageCells)
        row += m.MOJI[static_cast<std::size_t>(i)].Caption;
    return row;
}

QStringList BoardNews::look(const BoardModel &m, const BoardMarks &marks)
{
    QStringList news;
    const QString row = messageRowAlone(m);
    if (!seen_) {
        seen_ = true;
        last_ = marks;
        lastRow_ = row;
        return news;
    }
    if (marks.got > last_.got && marks.got <= kIdioms)
        news << m.lblGO[static_cast<std::size_t>(marks.got - 1)].Caption;
    // A miss that leaves the board in play: the lamps still showing say how many are left.
    if (marks.miss > last_.miss && marks.play && marks.miss < kLamps)
        news << QString::fromUtf8(kLampTips[static_cast<std::size_t>(kLamps - marks.miss - 1)]);
    if (row != lastRow_ && !row.isEmpty())
        news << row;
    last_ = marks;
    lastRow_ = row;
    return news;
}

} // namespace horokata
