// Words, messages and small helpers shared by the files that implement the game's flows.
#pragma once

#include "puzzle/board_model.h"

#include <QString>
#include <array>
#include <cstddef>

namespace horokata {

using MessageRow = std::array<const char *, kMessageLength>;

// Messages spelled on the message row.
inline const MessageRow kTitleRow = {"＊", "ホ", "ロ", "カ", "タ", "＊"};    // no board yet
inline const MessageRow kNewRow = {"＊", "新", "規", "開", "始", "＊"};      // a new board is dealt
inline const MessageRow kReplayRow = {"＊", "再", "度", "開", "始", "＊"};   // the board is replayed
inline const MessageRow kApplauseRow = {"！", "拍", "手", "喝", "采", "！"}; // board complete
inline const MessageRow kRegretRow = {"…", "残", "念", "至", "極", "…"};     // board lost
// Replay or new board? The first three cells answer "replay", the last three "new".
inline const MessageRow kPromptRow = {"再", "度", "？", "新", "規", "？"};
constexpr int kReplayAnswerCells = 3;

// Status words beside the level label.
inline const QString kReadyWords = QStringLiteral("準備完了");
inline const QString kTroubleWords = QStringLiteral("異常事態！");
// The level label when no list could be read at start-up.
inline const QString kNoLevel = QStringLiteral("＜なし＞");

// Tiles in a pick: the length of an idiom.
constexpr int kPickLength = 4;

// How long a start message stays up before the board is dealt.
constexpr int kStartPauseMs = 800;

// Array index from a game counter.
inline std::size_t at(int i)
{
    return static_cast<std::size_t>(i);
}

} // namespace horokata
