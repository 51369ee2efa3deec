// Program-wide variables shared by the windows, the sound slots and the small helpers around them.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace horokata {

class Platform;

// The game keeps VB-style flags: true is -1, false is 0, tests are for non-zero.
using vbBool = std::int16_t;
constexpr vbBool vbTrue = -1;
constexpr vbBool vbFalse = 0;

// Window positions kept in twips, as the game stores them: 15 twips per pixel (96 dpi).
constexpr int kTwipsPerPixel = 15;

struct SoundSlot {
    QString path;
    vbBool playable = vbFalse;
};

// Suffixes below the system folder of the four sound slots (1: celebration click, 2: miss,
// 3: idiom found, 4: board complete).
extern const std::array<const char *, 4> kSoundSuffixes;

struct Module1 {
    QString strWIN;
    std::array<SoundSlot, 4> wav; // wav[0] is slot 1
    QString strPATH;              // program folder, always ending in the separator
    std::int16_t intERR = 0;
    std::int16_t intMSG = 0;
    QString strNAME;
    QString strLEVEL;
    vbBool blnERR = vbFalse;
    std::array<vbBool, 4> blnLEVEL{};
    std::int16_t intLEVEL = 0;
    vbBool blnCANCEL = vbFalse;
    std::int32_t lngMENUX = 0;
    std::int32_t lngMENUY = 0;
};

// Text up to, not including, the first NUL character.
QString CUT_NULL(const QString &text);

// Locate the four sounds below the system folder; a slot is playable when its file exists.
void SET_SOUND(Module1 &g, Platform &platform);

// Play sound slot 1..4 without waiting; a slot whose call cannot be made is switched off.
void playSlot(Module1 &g, Platform &platform, int slot);

// "Main" refusals. Returns true when the program may go on to create its main window.
bool startupAllowed(Platform &platform);

// Message of the fatal exit for a trouble number.
QString fatalMessage(int trouble);

// Program folder as the game stores it: with a trailing separator, never doubled.
QString withTrailingSeparator(const QString &folder);

extern const char *const kTitle;          // "ホロカタ"
extern const char *const kSecondInstance; // second instance refusal
extern const char *const kDepth256;       // 256-colour refusal
extern const char *const kFatalTitle;     // "エラー＝強制終了！"

} // namespace horokata
