// Hints on the board in play.
#include "puzzle/board_hints.h"

#include <algorithm>

namespace horokata {

void BoardHints::reset(int count)
{
    count_ = std::max(count, 0);
    idiom_ = 0;
    readingShown_ = false;
    marked_.clear();
    hinted_.fill(false);
}

Hint BoardHints::next(const std::array<QString, kIdioms + 1> &idioms, const std::array<int, kIdioms + 1> &found,
                      const ReadingOf &readingOf)
{
    const auto open = [&](int k) { return found[static_cast<std::size_t>(k)] == 0 && !idioms[static_cast<std::size_t>(k)].isEmpty(); };
    Hint hint;
    if (idiom_ != 0 && readingShown_ && open(idiom_)) {
        // The second hint on the same idiom: its first tile.
        hint = {HintKind::Mark, idiom_, QString()};
    } else {
        // On to the next idiom not yet found, after the one hinted last, round the list.
        int k = 0;
        for (int step = 1; step <= kIdioms && k == 0; ++step) {
            const int candidate = (idiom_ + step - 1) % kIdioms + 1;
            if (open(candidate))
                k = candidate;
        }
        if (k == 0)
            return hint;
        const QString reading = readingOf ? readingOf(idioms[static_cast<std::size_t>(k)]) : QString();
        hint = reading.isEmpty() ? Hint{HintKind::Mark, k, QString()} : Hint{HintKind::Reading, k, reading};
    }
    idiom_ = hint.idiom;
    readingShown_ = hint.kind == HintKind::Reading;
    if (hint.kind == HintKind::Mark && std::find(marked_.begin(), marked_.end(), hint.idiom) == marked_.end())
        marked_.push_back(hint.idiom);
    hinted_[static_cast<std::size_t>(hint.idiom)] = true;
    ++count_;
    return hint;
}

std::vector<int> hintedCells(const BoardModel &m, const std::array<QString, kIdioms + 1> &idioms,
                             const std::array<int, kIdioms + 1> &found, const std::vector<int> &marked)
{
    std::vector<int> cells;
    for (int k : marked) {
        if (k < 1 || k > kIdioms || found[static_cast<std::size_t>(k)] != 0)
            continue;
        const QString &idiom = idioms[static_cast<std::size_t>(k)];
        const QString first = idiom.left(idiom.isEmpty() || !idiom.at(0).isHighSurrogate() ? 1 : 2);
        if (first.isEmpty())
            continue;
        int cell = -1;
        for (int row = 0; row < kRows && cell < 0; ++row)
            for (int column = 0; column < kColumns && cell < 0; ++column) {
                const int i = cellIndex(column, row);
                const Tile &t = m.MOJI[static_cast<std::size_t>(i)];
                // A tile already carrying another idiom's mark is passed over, so that two
                // idioms starting with the same character mark two tiles.
                if (t.Visible && t.Caption == first && std::find(cells.begin(), cells.end(), i) == cells.end())
                    cell = i;
            }
        if (cell >= 0)
            cells.push_back(cell);
    }
    return cells;
}

} // namespace horokata
