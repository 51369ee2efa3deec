// Start-up refusals and the fatal exit's message.
#pragma once

#include "puzzle/program_state.h"

#include <QString>

namespace horokata {

class Platform;

// Refuses a second copy of the game and a 256-colour display, each with a message box; a
// refused second copy then brings the running copy's window to the front.
// Returns true when the program may go on to create its main window.
bool startupAllowed(Platform &platform);

// Message of the fatal exit for a trouble number: the number, then the alarm.
QString fatalMessage(Trouble trouble);

extern const char *const kSecondInstance; // second instance refusal
extern const char *const kDepth256;       // 256-colour refusal
extern const char *const kFatalTitle;     // "エラー＝強制終了！"

} // namespace horokata
