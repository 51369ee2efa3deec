// The player's store: every board dealt and played, the records kept from them, the board
// in play for resuming, and the idiom notebook, in one SQLite file.
#pragma once

#include "idioms/idiom.h"
#include "idioms/levels.h"
#include "puzzle/saved_board.h"
#include "study/fsrs.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace horokata {

constexpr const char *kRecordsFileName = "records.sqlite";
// The schema this build writes: 1 = boards, attempts, picks, settings and the resume row;
// 2 adds the notebook; 3 adds each idiom's review schedule and marks review boards. Older files
// are brought forward on opening; a newer one is only read.
constexpr int kRecordsSchemaVersion = 4;
// How many boards the records window lists.
constexpr int kRecentBoards = 20;

// How an attempt at a board ended. The numbers are stored: never renumber.
enum class BoardEnd : int {
    InPlay = 0,          // not ended yet
    Won = 1,             // all twenty found
    Lost = 2,            // the third miss
    GaveUp = 3,          // given up at the lamps
    AbandonedNew = 4,    // 新規 while in play
    AbandonedReplay = 5, // 再度 while in play
    AbandonedLevel = 6,  // another level chosen while in play
    SetAside = 7,        // a saved board that could not be laid out again on start
};
// Lost, given up, abandoned or set aside: a loss for the streaks once the board counts.
constexpr bool isLoss(BoardEnd end) { return end != BoardEnd::InPlay && end != BoardEnd::Won; }

// The word the records window shows for an ending: "勝ち", "負け", "投了", "放棄".
QString boardEndWord(BoardEnd end);
// A play time as the game shows it everywhere: m:ss ("0:07", "12:34"), past an hour h:mm:ss
// ("1:15:00"); "-" for none.
QString formatPlayTime(std::optional<std::int64_t> ms);

enum class PickResult { Found, Miss };

// What opening the store came to.
struct OpenOutcome {
    enum class Status {
        Ok,          // the file opened (created, brought forward when older, repaired when
                     // parts were missing: see `repaired`)
        SetAside,    // SQLite could not open the file as a database: it was moved with its
                     // journal to setAsidePath, and a new file was started; tell the player once
        ReadOnly,    // the file or its folder cannot be written: it is read as it stands and
                     // nothing new is kept this run; tell the player once
        Newer,       // a later version of the game wrote the file: it is read as it stands
                     // where it can be and never changed; tell the player once
        Unavailable, // no records this run (folder cannot be made, file locked, another
                     // program's database, nothing to read); tell the player once
    };
    Status status = Status::Unavailable;
    QString path;         // the records file
    QString setAsidePath; // where the unreadable file went (SetAside only)
    QString reason;       // what was wrong, in plain words (all but Ok)
    QStringList repaired; // what was missing and made again, in plain words
    int migratedFrom = 0; // the schema version the file had when it was older, else 0
};

// What goes wrong with the store after a good open, told to the failure handler.
enum class StoreNotice {
    WriteFailed, // a write failed (disk full, folder gone, file locked): tried again at the next
    Damaged,     // SQLite found the file damaged: it is kept as it is and no longer written
    RowsSkipped, // rows that are not the game's were left out of what the store reads
};

// One row of the records window.
struct LevelStats {
    int played = 0;                       // 対局数: counted boards ended
    int won = 0;                          // 勝ち
    int currentStreak = 0;                // 連勝中: wins since the last loss
    int longestStreak = 0;                // 最長連勝
    std::optional<std::int64_t> bestMs;   // 最短時間 of a win
    std::optional<std::int64_t> averageMs; // 平均時間 of the wins (rounded to ms)
    int noMiss = 0;                       // ノーミス: wins without a miss
    // 勝率 in whole per cent (rounded), 0 when nothing was played.
    int winPercent() const;
};

// One of the most recent boards.
struct RecentBoard {
    std::int64_t attemptId = 0;
    std::int64_t endedAtMs = 0; // ms since the epoch (UTC)
    int level = 0;
    bool review = false; // a review board (its level gives only the colours)
    BoardEnd end = BoardEnd::Won;
    std::int64_t playMs = 0;
    int misses = 0;
    bool practice = false; // a board played again: shown, never counted
    int hints = 0;
};

// Everything the records window shows.
struct RecordsSummary {
    std::array<LevelStats, kLevelCount> levels; // 初級, 一般, 特殊, 其他
    LevelStats total;                           // all levels, streaks across levels by time
    LevelStats review;                          // the review boards, kept apart from the levels
    int reviewMet = 0;                          // idioms on review boards that ended won or lost
    int reviewFound = 0;                        // of those, the ones found
    // Recall on review boards in whole per cent (rounded); nothing before the first.
    std::optional<int> recallPercent() const;
    std::vector<RecentBoard> recent;            // newest first, at most kRecentBoards
};

// A board just dealt: the ids its picks and its end are recorded under.
struct DealIds {
    std::int64_t boardId = 0;
    std::int64_t attemptId = 0;
};

// The board saved for resuming, as found on start.
struct ResumeLoad {
    enum class Status {
        None,     // no board was in play
        Ok,       // `board` can be laid out as it was
        SetAside, // the saved board could not be laid out: it was counted abandoned and
                  // removed; `problem` says why; tell the player once
    };
    Status status = Status::None;
    SavedBoard board;
    QString problem;
};

// An idiom as the notebook keeps it, without the dictionary's words (see notebook.h).
struct NotebookRecord {
    QString idiom;               // as the player met it (a found idiom as spelled)
    int levels = 0;              // bit i set when met on a board of level i
    int found = 0;               // times found
    int missed = 0;              // times revealed after a lost or given-up board
    bool lastFound = false;      // found (true) or revealed (false) the last time met
    std::int64_t firstMetMs = 0; // ms since the epoch (UTC)
    std::int64_t lastMetMs = 0;
    fsrs::Card card;             // the review schedule (due: the next review)
};

// The level's idiom list as the game reads it, or nothing when it no longer reads.
using LevelListSource = std::function<std::optional<std::vector<Idiom>>(int level)>;

// The player's store. When it is not available (see OpenOutcome) every call does nothing
// and returns an empty or false answer, so the game plays on without records.
// Every write is one transaction: a crash or a kill loses at most the write under way.
// Not thread-safe: use it from the thread that opened it.
class RecordsStore {
public:
    enum class Mode {
        ReadWrite, // the game: creates, brings forward, repairs, sets aside an unreadable file;
                   // reads only when the file cannot be written
        ReadOnly,  // a reader beside the running game (export): changes nothing on disk
    };

    RecordsStore();
    ~RecordsStore();
    RecordsStore(const RecordsStore &) = delete;
    RecordsStore &operator=(const RecordsStore &) = delete;

    // records.sqlite in the application data folder (QStandardPaths::AppDataLocation).
    static QString defaultPath();

    // Opens (creating the folder and the file when missing) and brings the schema up to
    // kRecordsSchemaVersion. Closes whatever was open before.
    OpenOutcome open(const QString &path = defaultPath(), Mode mode = Mode::ReadWrite);
    void close();
    // The store reads (whether or not it writes).
    bool available() const;
    // The store keeps what is played: open for writing and not found damaged.
    bool writable() const;
    // The last write failed for the disk, the folder or a lock: the next one tries again.
    bool writeFailing() const;
    const OpenOutcome &outcome() const;
    // Rows left out of the reads because they hold values the game never writes.
    int skippedRows() const;

    // Time source for the stored dates, ms since the epoch (tests set their own).
    void setClock(std::function<std::int64_t()> nowMs);
    // Called when the store meets trouble after a good open, with the details in plain words:
    // once when writes start failing (each later write tries again, and the first that works
    // ends the trouble), once when the file is found damaged (it is kept and never written
    // again this run), once when rows are first left out of a read.
    void setFailureHandler(std::function<void(StoreNotice, const QString &)> handler);
    // The details of the last trouble told to the failure handler.
    QString lastNotice() const;

    // --- boards and attempts ---
    // A new board dealt: stores it with its first attempt (practice when it is a replay the
    // store did not hold) and makes its level the last
    // level played; any saved board in play is dropped (the game ended it first).
    // Returns zero ids when nothing was stored.
    DealIds recordDeal(const DealtBoard &board, bool practice = false);
    // 再度: a new attempt at a stored board, practice. Drops any saved board in play. 0 on failure.
    std::int64_t startAttempt(std::int64_t boardId);
    // A pick of four tiles. For a find, `idiomIndex` is the hidden idiom found (1..20) and
    // `spelled` the idiom as picked. `playMs` is the clock now. When `atRest` is given, the
    // board after the pick is saved for resuming in the same transaction: pass it whenever the
    // board is at rest after the pick, so that a kill never leaves the saved board a step
    // behind the picks. Refused (false) for an attempt that is not in play.
    // A find is a review of the idiom rated `rating`; nothing (practice) moves no schedule.
    bool recordPick(std::int64_t attemptId, PickResult result, int idiomIndex, const QString &spelled,
                    std::int64_t playMs, const SavedBoard *atRest = nullptr,
                    std::optional<fsrs::Rating> rating = fsrs::Rating::Good);
    // The end of an attempt. A lost or given-up board reveals its idioms not found (they go
    // into the notebook as missed). Drops the saved board in play if it is this attempt.
    // An attempt already ended is left as it was (returns false). Each idiom revealed is a
    // review rated Again, unless `practice`.
    bool endAttempt(std::int64_t attemptId, BoardEnd end, int misses, std::int64_t playMs, bool practice = false,
                    int hints = 0);
    // A stored board as dealt, checked for shape (level range, 80 tiles, 20 idioms of four
    // characters that are the tiles); checkDealtBoard against the list is the caller's.
    std::optional<DealtBoard> board(std::int64_t boardId);
    // The board dealt last (for 再度 after a restart).
    std::optional<DealtBoard> lastBoard();

    // --- records ---
    RecordsSummary summary();
    // True when a win in `playMs` on this level beats every earlier win there (the first
    // win on a level is a new best). Call before endAttempt records the win.
    bool isNewBest(int level, std::int64_t playMs);
    // Removes one level's ended attempts (and boards left without attempts), in one
    // transaction. The board in play and the notebook are kept.
    bool clearLevel(int level);

    // --- settings ---
    // The level last played, or nothing when none or not a level.
    std::optional<int> lastLevel();
    bool setLastLevel(int level);

    // --- resume ---
    // Saves the board in play at rest, replacing the one saved before.
    bool saveResume(const SavedBoard &board);
    // Reads the saved board, checks every value and checks it against its level's list (a
    // review board against the notebook; its level's list is still asked for, for the game).
    // A board that fails is set aside: its attempt is ended as SetAside (abandoned) and the
    // saved board removed, in one transaction.
    ResumeLoad loadResume(const LevelListSource &levelList);
    bool clearResume();

    // --- notebook ---
    // Every idiom met, in no particular order.
    std::vector<NotebookRecord> notebook();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace horokata
