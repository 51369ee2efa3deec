// Hints on the board in play: first the reading of an idiom not yet found, then a mark on the
// tile of its first character, then on to the next idiom not yet found.
#pragma once

#include "puzzle/board_model.h"

#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace horokata {

enum class HintKind {
    None,    // every idiom is found: nothing to hint
    Reading, // the idiom's reading from the dictionary
    Mark,    // its first tile marked (at once when the dictionary has no reading)
};

struct Hint {
    HintKind kind = HintKind::None;
    int idiom = 0;   // the hidden idiom hinted, 1..20
    QString reading; // its reading, for a Reading hint
};

class BoardHints {
public:
    // The dictionary's reading of an idiom, or "" when it has none.
    using ReadingOf = std::function<QString(const QString &idiom)>;

    // A new board: no hint given. A resumed board keeps its count (its marks are not kept).
    void reset(int count = 0);
    int count() const { return count_; }

    // The next hint for the hidden idioms `idioms` (1..20) of which `found` marks those found.
    // Counts it unless there is nothing left to hint.
    Hint next(const std::array<QString, kIdioms + 1> &idioms, const std::array<int, kIdioms + 1> &found,
              const ReadingOf &readingOf);

    // The idioms whose first tile carries a mark (found ones drop out when asked).
    const std::vector<int> &marked() const { return marked_; }
    // Some hint was given on idiom k.
    bool hinted(int k) const { return k > 0 && k <= kIdioms && hinted_[static_cast<std::size_t>(k)]; }

private:
    int count_ = 0;
    int idiom_ = 0;      // the idiom the last hint was about, 0 before the first
    bool readingShown_ = false; // its reading was the last hint
    std::vector<int> marked_;
    std::array<bool, kIdioms + 1> hinted_{};
};

// The cells whose tile carries a hint's mark: for each marked idiom not yet found, the first
// standing tile in reading order (row by row) that shows its first character. The mark so
// follows the character as tiles close up.
std::vector<int> hintedCells(const BoardModel &m, const std::array<QString, kIdioms + 1> &idioms,
                             const std::array<int, kIdioms + 1> &found, const std::vector<int> &marked);

} // namespace horokata
