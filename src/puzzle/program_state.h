// Program-wide state shared by the game and its windows: dialog requests, level flags, sounds.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace horokata {

class Platform;

// Window positions kept in twips, as the game stores them: 15 twips per pixel (96 dpi).
constexpr int kTwipsPerPixel = 15;

// What the confirmation dialog shows (intMSG), passed with the request to open it; the numbers
// are the ones the dialog has always used.
enum class DialogMode : std::int16_t {
    ReadError = 0,         // notice: an idiom list could not be read; the program closes
    DiscardBoard = 1,      // question: give up the board in play for a new one
    DiscardLevelBoard = 2, // question: give up the level's board for another level
    FileMissing = 3,       // notice: the chosen level's list file is not there
    FileInvalid = 4,       // notice: the chosen level's list file has an unusable size
    Version = 5,           // notice: version line and credits
    GiveUp = 6,            // question: give up the board in play (a click on a miss lamp)
    // The player's store (records and the board saved for resuming):
    RecordsSetAside = 7,    // notice: the records file could not be read; kept as strNAME
    RecordsUnavailable = 8, // notice: the records cannot be kept this run
    BoardSetAside = 9,      // notice: the board saved last time could not be laid out again
    ClearLevelRecords = 10, // question: clear the records of the level named strNAME
    RecordsRepaired = 11,   // notice: parts of the records file were made again or left out
    RecordsReadOnly = 12,   // notice: the records are read but nothing new is kept this run
    RecordsNewer = 13,      // notice: a newer version's records file, left as it is
    FlowFault = 14,         // notice: a step of the game failed unexpectedly (told as its name)
};

// True for the modes that ask a question (the dialog shows "いいえ ×" for them).
constexpr bool isQuestion(DialogMode mode)
{
    return mode == DialogMode::DiscardBoard || mode == DialogMode::DiscardLevelBoard || mode == DialogMode::GiveUp
           || mode == DialogMode::ClearLevelRecords;
}

// Why start-up had to end (intERR), shown by number in the fatal message.
enum class Trouble : std::int16_t {
    None = 0,
    DialogOutlineMissing = 1,    // no "msg.rgn" in the program folder
    DialogOutlineUnreadable = 2, // "msg.rgn" cannot be read or is cut short
    DialogOutlineRefused = 3,    // the outline's rectangles do not make a region
    DialogOutlineNotApplied = 4, // the window system would not cut the dialog to it
    MenuOutlineRefused = 5,      // the level menu's built-in outline does not make a region
    MenuOutlineNotApplied = 6,   // the window system would not cut the menu to it
};

// The four sounds, numbered as their slots.
enum class Sound {
    CelebrationClick = 1, // the click that starts the celebration
    Miss = 2,             // four tiles that spell no hidden idiom
    IdiomFound = 3,       // a hidden idiom found, the board not yet complete
    BoardComplete = 4,    // the twentieth idiom found
};
constexpr int kSoundCount = 4;

struct SoundSlot {
    QString path;             // the sound file below the system folder
    bool playable = false; // false when the file is missing or the sound system failed
};

// The program-wide state: the sounds, the program folder, the levels and the menu's place.
// Requests between windows travel in their calls, not here.
class ProgramState {
public:
    // strWIN: the folder holding "Media" with the sounds.
    const QString &systemFolder() const { return strWIN; }
    void setSystemFolder(const QString &folder) { strWIN = folder; }
    // wav: the sound slots, in slot order.
    const std::array<SoundSlot, kSoundCount> &soundSlots() const { return wav; }
    SoundSlot &slot(Sound sound) { return wav[static_cast<std::size_t>(sound) - 1]; }
    const SoundSlot &slot(Sound sound) const { return wav[static_cast<std::size_t>(sound) - 1]; }
    // strPATH: the program folder, always ending in the separator.
    const QString &programFolder() const { return strPATH; }
    void setProgramFolder(const QString &folder) { strPATH = folder; }
    // strLEVEL: the title-bar label of the level in play ("＜初級＞").
    const QString &levelLabel() const { return strLEVEL; }
    void setLevelLabel(const QString &label) { strLEVEL = label; }
    // blnERR: the last list read failed and was reported.
    bool listReadFailed() const { return blnERR; }
    void setListReadFailed(bool failed) { blnERR = failed; }
    // blnLEVEL: per level, its list may still be chosen.
    bool levelChoosable(int level) const { return blnLEVEL[static_cast<std::size_t>(level)]; }
    void setLevelChoosable(int level, bool choosable) { blnLEVEL[static_cast<std::size_t>(level)] = choosable; }
    void makeAllLevelsChoosable() { blnLEVEL.fill(true); }
    // intLEVEL: the index of the level whose list is loaded.
    int level() const { return intLEVEL; }
    void setLevel(int level) { intLEVEL = static_cast<std::int16_t>(level); }
    // lngMENUX, lngMENUY: where the level menu opens (its left and top), in twips.
    std::int32_t menuX() const { return lngMENUX; }
    std::int32_t menuY() const { return lngMENUY; }
    void setMenuPosition(std::int32_t x, std::int32_t y)
    {
        lngMENUX = x;
        lngMENUY = y;
    }

private:
    QString strWIN;
    std::array<SoundSlot, kSoundCount> wav;
    QString strPATH;
    QString strLEVEL;
    bool blnERR = false;
    std::array<bool, 4> blnLEVEL{};
    std::int16_t intLEVEL = 0;
    std::int32_t lngMENUX = 0;
    std::int32_t lngMENUY = 0;
};

// Suffix below the system folder of each sound's file, in slot order.
extern const std::array<const char *, kSoundCount> kSoundSuffixes;

// Text up to, not including, the first NUL character.
QString CUT_NULL(const QString &text);

// Locate the four sounds below the system folder; a slot is playable when its file exists.
void SET_SOUND(ProgramState &g, Platform &platform);

// Play a sound without waiting; a slot whose call cannot be made is switched off.
void playSound(ProgramState &g, Platform &platform, Sound sound);

// Program folder as the game stores it: with a trailing separator, never doubled.
QString withTrailingSeparator(const QString &folder);

extern const char *const kTitle; // "ホロカタ", the title of the program's message boxes

// Message of the fatal exit for a trouble number: the number, then the alarm.
QString fatalMessage(Trouble trouble);
extern const char *const kFatalTitle; // "エラー＝強制終了！", the fatal exit's title

} // namespace horokata
