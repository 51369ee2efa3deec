// Keeps the player's store in step with the game: each deal and attempt, each pick, how each
// board ended, the play clock, and the board in play saved at every moment of rest.
#pragma once

#include "puzzle/game_observer.h"
#include "records/records_store.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace horokata {

class Game;
class Platform;

class BoardRecorder : public GameObserver {
public:
    // Follows `game` once the owner makes it the game's observer. All three must outlive it.
    BoardRecorder(Game &game, RecordsStore &store, Platform &platform);

    // GameObserver
    void boardStarted(bool replay) override;
    void boardLeft(BoardLeaving why) override;
    void pickChecked(int idiom, const QString &spelled) override;
    void boardGivenUp() override;
    void pickTakenBack() override;

    // A pick checked, with how well a found idiom was recalled: Good for a plain find, Hard for
    // a find after a hint on it (pickChecked passes Good).
    void pickRated(int idiom, const QString &spelled, fsrs::Rating rating);
    // The attempt in play is practice (a replay): it counts in no figure, and its finds and
    // reveals move no idiom's review schedule.
    bool practice() const { return practice_; }

    // The board just laid out again from the store: its attempt, misses and clock go on.
    void resumed(const SavedBoard &board);
    // The program is closing. With the board at rest, the board in play is saved as it
    // stands, clock and pick included; otherwise the save of the last rest stands. Quitting
    // ends no attempt: the board resumes on the next start.
    void closing(bool atRest);
    // The board in play saved as it stands, when it is whole (the last save stands otherwise).
    void saveAtRest();
    // The main window is shown, not minimised and active: only then does the clock run.
    void setWindowActive(bool active);

    // A board is being timed: from the end of its deal to its last find or its loss.
    bool clockOn() const { return clockOn_; }
    // The play clock of the board in play (or of the board that ended last), in ms.
    std::int64_t playMs();
    // An attempt is in play (dealt or resumed, not yet ended).
    bool inPlay() const { return inPlay_; }
    std::int64_t boardId() const { return ids_->boardId; }
    std::int64_t attemptId() const { return ids_->attemptId; }
    // Steps the store could not write yet (they are tried again at the next rest).
    std::size_t unsavedSteps() const { return unsaved_.size(); }

    // Called once a board has ended and the store has it: the records changed.
    std::function<void()> boardEnded;

private:
    SavedBoard boardAtRest();
    void foldClock();
    void setClockOn(bool on);
    void end(BoardEnd how);
    // Writes `step` now, or after the steps still unsaved. A step the store could not write
    // for a failing disk or folder is kept, in order, for the next rest; one it refused is not.
    void keep(std::function<bool()> step);
    // Writes the unsaved steps in order; true when none is left.
    bool catchUp();

    Game &game_;
    RecordsStore &store_;
    Platform &platform_;
    // The board's and the attempt's ids, shared with the unsaved steps that fill or use them.
    std::shared_ptr<DealIds> ids_ = std::make_shared<DealIds>();
    std::deque<std::function<bool()>> unsaved_;
    bool inPlay_ = false;
    bool practice_ = false; // the attempt moves no schedule
    int misses_ = 0; // misses picked on this attempt (giving up adds none)

    std::int64_t clockMs_ = 0;    // time played before `since_`
    std::uint32_t since_ = 0;     // platform tick when the clock last started or folded
    bool clockOn_ = false;        // the board's clock runs (between the deal and its end)
    bool windowActive_ = false;   // the main window is shown, not minimised and active
};

} // namespace horokata
