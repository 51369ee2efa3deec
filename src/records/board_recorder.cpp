// Keeps the player's store in step with the game.
#include "records/board_recorder.h"

#include "platform/platform.h"
#include "puzzle/game.h"

#include <algorithm>

namespace horokata {

namespace {

BoardEnd endFor(BoardLeaving why)
{
    switch (why) {
    case BoardLeaving::NewBoard: return BoardEnd::AbandonedNew;
    case BoardLeaving::Replay: return BoardEnd::AbandonedReplay;
    case BoardLeaving::Level: return BoardEnd::AbandonedLevel;
    }
    return BoardEnd::AbandonedNew;
}

// Words shown after a win beside the level label when the time beats the level's best.
const QString kNewBestWords = QStringLiteral("新記録");

} // namespace

BoardRecorder::BoardRecorder(Game &game, RecordsStore &store, Platform &platform)
    : game_(game), store_(store), platform_(platform)
{
}

// ---------------------------------------------------------------- the clock

void BoardRecorder::foldClock()
{
    const std::uint32_t now = platform_.tickMs();
    if (clockOn_ && windowActive_)
        clockMs_ = std::min<std::int64_t>(clockMs_ + std::uint32_t(now - since_), kMaxPlayMs);
    since_ = now;
}

void BoardRecorder::setClockOn(bool on)
{
    foldClock();
    clockOn_ = on;
}

void BoardRecorder::setWindowActive(bool active)
{
    foldClock();
    windowActive_ = active;
}

std::int64_t BoardRecorder::playMs()
{
    foldClock();
    return clockMs_;
}

// ---------------------------------------------------------------- the game's events

SavedBoard BoardRecorder::boardAtRest()
{
    SavedBoard b = game_.savedBoard();
    b.boardId = boardId_;
    b.attemptId = attemptId_;
    b.playMs = playMs();
    return b;
}

void BoardRecorder::end(BoardEnd how)
{
    setClockOn(false);
    inPlay_ = false;
    store_.endAttempt(attemptId_, how, misses_, clockMs_);
    if (boardEnded)
        boardEnded();
}

void BoardRecorder::boardStarted(bool replay)
{
    if (inPlay_)
        end(BoardEnd::AbandonedNew); // never left unended, whatever path led here
    misses_ = 0;
    clockMs_ = 0;
    inPlay_ = true;
    setClockOn(true);
    attemptId_ = replay && boardId_ != 0 ? store_.startAttempt(boardId_) : 0;
    if (attemptId_ == 0) {
        // A new deal, or a replay of a board the store does not hold (records were off).
        const DealIds ids = store_.recordDeal(game_.dealtBoard());
        boardId_ = ids.boardId;
        attemptId_ = ids.attemptId;
    }
    // The board just laid out is at rest: a kill from here on resumes it.
    if (attemptId_ != 0)
        store_.saveResume(boardAtRest());
}

void BoardRecorder::boardLeft(BoardLeaving why)
{
    if (inPlay_)
        end(endFor(why));
}

void BoardRecorder::pickChecked(int idiom, const QString &spelled)
{
    if (!inPlay_)
        return;
    if (idiom > 0 && game_.foundCount() >= kIdioms) {
        // The last find: the clock stops, and the time is told, with its news when it is
        // the level's best.
        setClockOn(false);
        const bool best = store_.available() && store_.isNewBest(game_.level(), clockMs_);
        store_.recordPick(attemptId_, PickResult::Found, idiom, spelled, clockMs_);
        end(BoardEnd::Won);
        game_.showStatusWords(formatPlayTime(clockMs_) + (best ? QStringLiteral("　") + kNewBestWords : QString()));
        return;
    }
    if (idiom > 0) {
        const SavedBoard rest = boardAtRest();
        store_.recordPick(attemptId_, PickResult::Found, idiom, spelled, rest.playMs, &rest);
        return;
    }
    ++misses_;
    if (!game_.playing()) {
        // The third miss: the board is lost.
        setClockOn(false);
        store_.recordPick(attemptId_, PickResult::Miss, 0, QString(), clockMs_);
        end(BoardEnd::Lost);
        return;
    }
    const SavedBoard rest = boardAtRest();
    store_.recordPick(attemptId_, PickResult::Miss, 0, QString(), rest.playMs, &rest);
}

void BoardRecorder::boardGivenUp()
{
    if (inPlay_)
        end(BoardEnd::GaveUp);
}

void BoardRecorder::pickTakenBack()
{
    if (inPlay_)
        store_.saveResume(boardAtRest());
}

void BoardRecorder::resumed(const SavedBoard &board)
{
    boardId_ = board.boardId;
    attemptId_ = board.attemptId;
    misses_ = board.intMISS;
    clockMs_ = board.playMs;
    inPlay_ = true;
    setClockOn(true);
}

void BoardRecorder::closing(bool atRest)
{
    if (!inPlay_ || !atRest)
        return;
    // A board that a failed step left half changed would not lay out again: the save of the
    // last rest stands then.
    const SavedBoard board = boardAtRest();
    if (checkSavedBoard(board, game_.idiomList()).isEmpty())
        store_.saveResume(board);
}

} // namespace horokata
