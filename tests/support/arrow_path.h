// The arrow keys that take the board's focus frame from one cell to another, found by trying
// every arrow from every cell reached; empty when the target cannot be reached.
#pragma once

#include "puzzle/board_focus.h"

#include <QStringList>
#include <optional>
#include <deque>
#include <map>

namespace horokata {

inline std::optional<QStringList> arrowPath(const BoardModel &m, int from, int to)
{
    const std::pair<FocusStep, const char *> arrows[] = {
        {FocusStep::Left, "Left"}, {FocusStep::Right, "Right"}, {FocusStep::Up, "Up"}, {FocusStep::Down, "Down"}};
    std::map<int, std::pair<int, const char *>> came;
    came[from] = {-1, nullptr};
    std::deque<int> queue{from};
    while (!queue.empty() && !came.count(to)) {
        const int c = queue.front();
        queue.pop_front();
        for (const auto &[step, name] : arrows) {
            const int n = stepToShowingTile(m, c, step);
            if (!came.count(n)) {
                came[n] = {c, name};
                queue.push_back(n);
            }
        }
    }
    if (!came.count(to))
        return std::nullopt;
    QStringList keys;
    for (int c = to; came[c].second; c = came[c].first)
        keys.prepend(QString::fromLatin1(came[c].second));
    return keys;
}

} // namespace horokata
