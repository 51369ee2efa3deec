// Keeps the player's store in step with the game.
#include "records/board_recorder.h"

#include "platform/platform.h"
#include "puzzle/game.h"
#include "records/record_rules.h"

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
    b.boardId = ids_->boardId;
    b.attemptId = ids_->attemptId;
    b.playMs = playMs();
    b.practice = practice_;
    return b;
}

void BoardRecorder::keep(std::function<bool()> step)
{
    if (unsaved_.empty() && step())
        return;
    if (!unsaved_.empty() || store_.writeFailing())
        unsaved_.push_back(std::move(step));
}

bool BoardRecorder::catchUp()
{
    while (!unsaved_.empty()) {
        if (!unsaved_.front()()) {
            if (store_.writeFailing())
                return false;
            // Refused now (the store stopped writing for good): nothing after it can follow.
            unsaved_.clear();
            return false;
        }
        unsaved_.pop_front();
    }
    return true;
}

void BoardRecorder::end(BoardEnd how)
{
    setClockOn(false);
    inPlay_ = false;
    keep([this, ids = ids_, how, misses = misses_, ms = clockMs_, practice = practice_, hints = game_.hintCount()] {
        return store_.endAttempt(ids->attemptId, how, misses, ms, practice, hints);
    });
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
    // Every replay is practice: played, timed and noted, never a record.
    practice_ = replay;
    setClockOn(true);
    const std::int64_t replayOf = replay ? ids_->boardId : 0;
    ids_ = std::make_shared<DealIds>();
    keep([this, ids = ids_, replayOf, deal = game_.dealtBoard()] {
        ids->attemptId = replayOf != 0 ? store_.startAttempt(replayOf) : 0;
        if (ids->attemptId != 0) {
            ids->boardId = replayOf;
            return true;
        }
        // A new deal, or a replay of a board the store does not hold (records were off).
        if (store_.writeFailing() && replayOf != 0)
            return false;
        *ids = store_.recordDeal(deal, replayOf != 0);
        return ids->attemptId != 0;
    });
    // The board just laid out is at rest: a kill from here on resumes it.
    if (unsaved_.empty() && ids_->attemptId != 0)
        store_.saveResume(boardAtRest());
}

void BoardRecorder::boardLeft(BoardLeaving why)
{
    if (inPlay_)
        end(endFor(why));
}

void BoardRecorder::pickChecked(int idiom, const QString &spelled)
{
    // A find after a hint on that idiom was recalled with help.
    pickRated(idiom, spelled, idiom > 0 && game_.hinted(idiom) ? fsrs::Rating::Hard : fsrs::Rating::Good);
}

void BoardRecorder::pickRated(int idiom, const QString &spelled, fsrs::Rating grade)
{
    if (!inPlay_)
        return;
    const std::optional<fsrs::Rating> rating = practice_ ? std::nullopt : std::optional<fsrs::Rating>(grade);
    if (idiom <= 0)
        ++misses_;
    const bool won = idiom > 0 && game_.foundCount() >= kIdioms;
    const bool lost = idiom <= 0 && !game_.playing(); // the third miss
    const PickResult result = idiom > 0 ? PickResult::Found : PickResult::Miss;
    const QString as = idiom > 0 ? spelled : QString();
    if (won || lost) {
        // The last find or the third miss: the clock stops, and a win's time is told, with its
        // news when it is the level's best.
        setClockOn(false);
        const bool best = won && !game_.reviewing() && mayBeNewBest(practice_, game_.hintCount()) && store_.available() &&
                          store_.isNewBest(game_.level(), clockMs_);
        keep([this, ids = ids_, result, idiom, as, ms = clockMs_, rating] {
            return store_.recordPick(ids->attemptId, result, std::max(idiom, 0), as, ms, nullptr, rating);
        });
        end(won ? BoardEnd::Won : BoardEnd::Lost);
        if (won)
            game_.showStatusWords(formatPlayTime(clockMs_) + (best ? QStringLiteral("　") + kNewBestWords : QString()));
        return;
    }
    // At rest after the pick: the pick and the board after it go in one transaction; after
    // a failed write, the steps kept are written first, then the board as it now stands.
    const SavedBoard rest = boardAtRest();
    if (!unsaved_.empty()) {
        unsaved_.push_back([this, ids = ids_, result, idiom, as, ms = rest.playMs, rating] {
            return store_.recordPick(ids->attemptId, result, std::max(idiom, 0), as, ms, nullptr, rating);
        });
        if (catchUp())
            store_.saveResume(boardAtRest());
        return;
    }
    keep([this, ids = ids_, result, idiom, as, rest, rating] {
        SavedBoard now = rest;
        now.attemptId = ids->attemptId;
        now.boardId = ids->boardId;
        return store_.recordPick(ids->attemptId, result, std::max(idiom, 0), as, now.playMs, &now, rating);
    });
}

void BoardRecorder::boardGivenUp()
{
    if (inPlay_)
        end(BoardEnd::GaveUp);
}

void BoardRecorder::pickTakenBack()
{
    if (inPlay_ && catchUp())
        store_.saveResume(boardAtRest());
}

void BoardRecorder::resumed(const SavedBoard &board)
{
    ids_ = std::make_shared<DealIds>(DealIds{board.boardId, board.attemptId});
    unsaved_.clear();
    misses_ = board.intMISS;
    clockMs_ = board.playMs;
    practice_ = board.practice;
    inPlay_ = true;
    setClockOn(true);
}

void BoardRecorder::closing(bool atRest)
{
    if (!inPlay_) {
        catchUp();
        return;
    }
    if (atRest)
        saveAtRest();
}

void BoardRecorder::saveAtRest()
{
    if (!inPlay_ || !catchUp())
        return;
    // A board that a failed step left half changed would not lay out again: the save of the
    // last rest stands then.
    const SavedBoard board = boardAtRest();
    if (checkSavedBoard(board, game_.idiomList()).isEmpty())
        store_.saveResume(board);
}

} // namespace horokata
