// What counts in the records: the rules the figures, the streaks and "新記録" share.
#pragma once

namespace horokata {

// A board counts in 対局数, 勝ち, 勝率, 平均時間 and the streaks only when it is no practice
// (a board played again by 再度, whose idioms the player may have seen).
constexpr bool countsInRecords(bool practice) { return !practice; }

// A win counts for 最短時間, ノーミス and "新記録" only when no hint helped it.
constexpr bool cleanWin(int hints) { return hints == 0; }

// A win's time can be a new best: a counted, clean win.
constexpr bool mayBeNewBest(bool practice, int hints) { return countsInRecords(practice) && cleanWin(hints); }

} // namespace horokata
