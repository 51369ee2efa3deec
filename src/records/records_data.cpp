// What the store keeps: boards, attempts and picks, the records drawn from them, the level
// last played, the board saved for resuming, and the notebook rows.
#include "records/records_store_impl.h"

#include "records/record_rules.h"

#include <QStringList>
#include <deque>

namespace horokata {

QVariant v64(std::int64_t n)
{
    return QVariant::fromValue<qlonglong>(n);
}

namespace {

// The board's own idioms as a list: checking a deal against it checks its shape alone.
std::vector<Idiom> ownList(const std::array<QString, kIdioms> &idioms)
{
    std::vector<Idiom> list;
    for (const QString &idiom : idioms)
        list.emplace_back(QStringView(idiom));
    return list;
}

QString joined(const std::array<QString, kIdioms> &idioms)
{
    QString text;
    for (const QString &idiom : idioms)
        text += idiom;
    return text;
}

} // namespace

bool readDeal(const QSqlQuery &q, int first, DealtBoard *b)
{
    std::int64_t level = 0, dealtAt = 0;
    QString tiles, idioms;
    if (!readInt(q, first, 0, kLevelCount - 1, &level) || !readInt(q, first + 1, 0, INT64_MAX, &dealtAt) ||
        !readText(q, first + 2, &tiles) || !readText(q, first + 3, &idioms) || tiles.size() != kCells ||
        idioms.size() != kIdioms * Idiom::kLength)
        return false;
    b->level = int(level);
    b->dealtAtMs = dealtAt;
    for (int i = 0; i < kCells; ++i)
        b->strMOJI[std::size_t(i)] = tiles.mid(i, 1);
    for (int k = 0; k < kIdioms; ++k)
        b->strGOKU[std::size_t(k)] = idioms.mid(k * Idiom::kLength, Idiom::kLength);
    return checkDealtBoard(*b, ownList(b->strGOKU)).isEmpty();
}

namespace {


const QString kLastLevelKey = QStringLiteral("last_level");

} // namespace

// ---------------------------------------------------------------- boards and attempts

DealIds RecordsStore::recordDeal(const DealtBoard &board, bool practice)
{
    Impl &d = *d_;
    DealIds ids;
    if (!checkDealtBoard(board, ownList(board.strGOKU)).isEmpty())
        return ids;
    QString tiles;
    for (const QString &tile : board.strMOJI)
        tiles += tile;
    const std::int64_t now = d.now();
    const bool ok = d.write([&] {
        // A board still open here was left without an end: the new deal abandons it.
        if (!d.run(QStringLiteral("UPDATE attempts SET result = ?, ended_at = ? WHERE result = 0"),
                   {int(BoardEnd::AbandonedNew), v64(now)}))
            return Step::Failed;
        QSqlQuery &insertBoard =
            d.statement(QStringLiteral("INSERT INTO boards (level, dealt_at, tiles, idioms, review) VALUES (?, ?, ?, ?, ?)"));
        if (!d.run(insertBoard, {board.level, v64(board.dealtAtMs ? board.dealtAtMs : now), tiles, joined(board.strGOKU),
                                 board.review ? 1 : 0}))
            return Step::Failed;
        ids.boardId = insertBoard.lastInsertId().toLongLong();
        QSqlQuery &insertAttempt =
            d.statement(QStringLiteral("INSERT INTO attempts (board_id, level, started_at, result, picks, misses, play_ms, practice)"
                           " VALUES (?, ?, ?, 0, 0, 0, 0, ?)"));
        if (!d.run(insertAttempt, {v64(ids.boardId), board.level, v64(now), practice ? 1 : 0}))
            return Step::Failed;
        ids.attemptId = insertAttempt.lastInsertId().toLongLong();
        if (!d.run(QStringLiteral("DELETE FROM resume")) ||
            !d.run(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"), {kLastLevelKey, board.level}))
            return Step::Failed;
        return Step::Done;
    });
    return ok ? ids : DealIds();
}

std::int64_t RecordsStore::startAttempt(std::int64_t boardId)
{
    Impl &d = *d_;
    std::int64_t attemptId = 0;
    const std::int64_t now = d.now();
    const bool ok = d.write([&] {
        QSqlQuery &find = d.statement(QStringLiteral("SELECT level FROM boards WHERE id = ?"));
        if (!d.run(find, {v64(boardId)}))
            return Step::Failed;
        std::int64_t level = 0;
        const bool found = find.next() && readInt(find, 0, 0, kLevelCount - 1, &level);
        find.finish();
        if (!found)
            return Step::Refused;
        if (!d.run(QStringLiteral("UPDATE attempts SET result = ?, ended_at = ? WHERE result = 0"),
                   {int(BoardEnd::AbandonedReplay), v64(now)}))
            return Step::Failed;
        // Every attempt after a board's first is a replay: practice.
        QSqlQuery &insert = d.statement(QStringLiteral("INSERT INTO attempts (board_id, level, started_at, result, picks, misses, play_ms, practice)"
                           " VALUES (?, ?, ?, 0, 0, 0, 0, 1)"));
        if (!d.run(insert, {v64(boardId), int(level), v64(now)}))
            return Step::Failed;
        attemptId = insert.lastInsertId().toLongLong();
        if (!d.run(QStringLiteral("DELETE FROM resume")) ||
            !d.run(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"), {kLastLevelKey, int(level)}))
            return Step::Failed;
        return Step::Done;
    });
    return ok ? attemptId : 0;
}

bool RecordsStore::recordPick(std::int64_t attemptId, PickResult result, int idiomIndex, const QString &spelled,
                              std::int64_t playMs, const SavedBoard *atRest, std::optional<fsrs::Rating> rating)
{
    Impl &d = *d_;
    const bool found = result == PickResult::Found;
    if (playMs < 0 || playMs > kMaxPlayMs || spelled.size() > Idiom::kLength)
        return false;
    if (found && (idiomIndex < 1 || idiomIndex > kIdioms || spelled.size() != Idiom::kLength))
        return false;
    std::optional<ResumeColumns> rest;
    if (atRest) {
        rest = encodeResume(*atRest);
        if (!rest || atRest->attemptId != attemptId)
            return false;
    }
    const std::int64_t now = d.now();
    return d.write([&] {
        QSqlQuery &attempt = d.statement(QStringLiteral("SELECT a.level, a.picks, coalesce(b.review, 0) FROM attempts a"
                                                        " LEFT JOIN boards b ON b.id = a.board_id WHERE a.id = ? AND a.result = 0"));
        if (!d.run(attempt, {v64(attemptId)}))
            return Step::Failed;
        std::int64_t level = 0, picks = 0, review = 0;
        const bool open = attempt.next() && readInt(attempt, 0, 0, kLevelCount - 1, &level) &&
                          readInt(attempt, 1, 0, INT32_MAX, &picks) && readInt(attempt, 2, 0, 1, &review);
        attempt.finish();
        if (!open)
            return Step::Refused;
        if (!d.run(QStringLiteral("INSERT INTO picks (attempt_id, seq, found, idiom, spelled, play_ms, at)"
                                  " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                   {v64(attemptId), v64(picks + 1), found ? 1 : 0, found ? QVariant(idiomIndex) : QVariant(),
                    // A null string would bind as NULL: a miss given no characters is stored as "".
                    spelled.isNull() ? QStringLiteral("") : spelled, v64(playMs), v64(now)}))
            return Step::Failed;
        if (!d.run(QStringLiteral("UPDATE attempts SET picks = picks + 1, misses = misses + ?, play_ms = ? WHERE id = ?"),
                   {found ? 0 : 1, v64(playMs), v64(attemptId)}))
            return Step::Failed;
        QSqlDatabase db = d.db();
        if (found && (!noteIdiom(db, spelled, int(level), true, now, &d.lastError, review != 0) ||
                      (rating && !reviewIdiom(db, spelled, *rating, now, &d.lastError))))
            return Step::Failed;
        if (rest && !d.run(kSaveResumeSql, resumeValues(*atRest, *rest, now)))
            return Step::Failed;
        return Step::Done;
    });
}

bool RecordsStore::endAttempt(std::int64_t attemptId, BoardEnd end, int misses, std::int64_t playMs, bool practice, int hints)
{
    Impl &d = *d_;
    if (end == BoardEnd::InPlay || int(end) < 0 || int(end) > int(BoardEnd::SetAside) || misses < 0 ||
        misses > kLamps || playMs < 0 || playMs > kMaxPlayMs || hints < 0 || hints > kMaxHints)
        return false;
    const std::int64_t now = d.now();
    return d.write([&] {
        QSqlQuery &attempt = d.statement(QStringLiteral(
            "SELECT a.level, b.idioms, b.review FROM attempts a JOIN boards b ON b.id = a.board_id WHERE a.id = ? AND a.result = 0"));
        if (!d.run(attempt, {v64(attemptId)}))
            return Step::Failed;
        std::int64_t level = 0, review = 0;
        QString idioms;
        const bool open = attempt.next() && readInt(attempt, 0, 0, kLevelCount - 1, &level) && readText(attempt, 1, &idioms) &&
                          readInt(attempt, 2, 0, 1, &review);
        attempt.finish();
        if (!open)
            return Step::Refused;
        if (!d.run(QStringLiteral("UPDATE attempts SET result = ?, ended_at = ?, misses = max(misses, ?), play_ms = ?,"
                                  " hints = max(hints, ?) WHERE id = ?"),
                   {int(end), v64(now), misses, v64(playMs), hints, v64(attemptId)}))
            return Step::Failed;
        if ((end == BoardEnd::Lost || end == BoardEnd::GaveUp) && idioms.size() == kIdioms * Idiom::kLength) {
            // The idioms not found are revealed: the notebook counts them as missed.
            QSqlQuery &found = d.statement(QStringLiteral("SELECT idiom FROM picks WHERE attempt_id = ? AND found = 1"));
            if (!d.run(found, {v64(attemptId)}))
                return Step::Failed;
            std::array<bool, kIdioms + 1> wasFound{};
            while (found.next()) {
                std::int64_t k = 0;
                if (readInt(found, 0, 1, kIdioms, &k))
                    wasFound[std::size_t(k)] = true;
            }
            found.finish();
            QSqlDatabase db = d.db();
            for (int k = 1; k <= kIdioms; ++k) {
                const QString idiom = idioms.mid((k - 1) * Idiom::kLength, Idiom::kLength);
                if (!wasFound[std::size_t(k)] &&
                    (!noteIdiom(db, idiom, int(level), false, now, &d.lastError, review != 0) ||
                     (!practice && !reviewIdiom(db, idiom, fsrs::Rating::Again, now, &d.lastError))))
                    return Step::Failed;
            }
        }
        if (!d.run(QStringLiteral("DELETE FROM resume WHERE attempt_id = ?"), {v64(attemptId)}))
            return Step::Failed;
        return Step::Done;
    });
}

std::optional<DealtBoard> RecordsStore::board(std::int64_t boardId)
{
    Impl &d = *d_;
    if (!d.usable)
        return std::nullopt;
    QSqlQuery &q = d.statement(QStringLiteral("SELECT level, dealt_at, tiles, idioms, %1 FROM boards WHERE id = ?")
                                   .arg(d.reviewColumn("review")));
    if (!d.run(q, {v64(boardId)})) {
        d.failedRead();
        return std::nullopt;
    }
    DealtBoard b;
    b.boardId = boardId;
    std::int64_t review = 0;
    const bool ok = q.next() && readDeal(q, 0, &b);
    b.review = ok && readInt(q, 4, 1, 1, &review);
    q.finish();
    return ok ? std::optional<DealtBoard>(b) : std::nullopt;
}

std::optional<DealtBoard> RecordsStore::lastBoard()
{
    Impl &d = *d_;
    if (!d.usable)
        return std::nullopt;
    QSqlQuery &q = d.statement(QStringLiteral("SELECT max(id) FROM boards"));
    if (!d.run(q)) {
        d.failedRead();
        return std::nullopt;
    }
    std::int64_t id = 0;
    const bool ok = q.next() && readInt(q, 0, 1, INT64_MAX, &id);
    q.finish();
    return ok ? board(id) : std::nullopt;
}

// ---------------------------------------------------------------- records

namespace {

// Adds the attempts of one level (or of all) in the order they ended.
struct StatsBuilder {
    LevelStats stats;
    std::int64_t winMsSum = 0;

    void add(const RecentBoard &r)
    {
        if (!countsInRecords(r.practice))
            return;
        ++stats.played;
        if (r.end != BoardEnd::Won) {
            stats.currentStreak = 0;
            return;
        }
        ++stats.won;
        stats.longestStreak = std::max(stats.longestStreak, ++stats.currentStreak);
        winMsSum += r.playMs;
        stats.averageMs = (winMsSum + stats.won / 2) / stats.won;
        if (!cleanWin(r.hints))
            return;
        stats.bestMs = stats.bestMs ? std::min(*stats.bestMs, r.playMs) : r.playMs;
        if (r.misses == 0)
            ++stats.noMiss;
    }
};

} // namespace

RecordsSummary RecordsStore::summary()
{
    Impl &d = *d_;
    RecordsSummary out;
    if (!d.usable)
        return out;
    QSqlQuery &q = d.statement(QStringLiteral("SELECT a.id, a.level, a.result, a.ended_at, a.play_ms, a.misses,"
                                              " coalesce(%1, 0), %2, %3 FROM attempts a LEFT JOIN boards b ON b.id = a.board_id"
                                              " WHERE a.result <> 0 AND a.picks > 0 ORDER BY a.ended_at, a.id")
                                   .arg(d.reviewColumn("b.review"), d.sinceColumn(kPracticeSchemaVersion, "a.practice"),
                                        d.sinceColumn(kPracticeSchemaVersion, "a.hints")));
    if (!d.run(q)) {
        d.failedRead();
        return out;
    }
    std::array<StatsBuilder, kLevelCount> levels;
    StatsBuilder total, review;
    std::deque<RecentBoard> recent;
    int skipped = 0;
    while (q.next()) {
        RecentBoard r;
        std::int64_t level = 0, result = 0, misses = 0, reviewFlag = 0, practice = 0, hints = 0;
        // A row that is not one the game writes is left out rather than trusted.
        if (!readInt(q, 0, 1, INT64_MAX, &r.attemptId) || !readInt(q, 1, 0, kLevelCount - 1, &level) ||
            !readInt(q, 2, int(BoardEnd::Won), int(BoardEnd::SetAside), &result) ||
            !readInt(q, 3, 0, INT64_MAX, &r.endedAtMs) || !readInt(q, 4, 0, kMaxPlayMs, &r.playMs) ||
            !readInt(q, 5, 0, kLamps, &misses) || !readInt(q, 6, 0, 1, &reviewFlag) || !readInt(q, 7, 0, 1, &practice) ||
            !readInt(q, 8, 0, kMaxHints, &hints)) {
            ++skipped;
            continue;
        }
        r.level = int(level);
        r.end = BoardEnd(result);
        r.misses = int(misses);
        r.practice = practice != 0;
        r.hints = int(hints);
        // A review board is a row of its own, not one of the levels.
        r.review = reviewFlag != 0;
        if (r.review) {
            review.add(r);
        } else {
            levels[std::size_t(level)].add(r);
            total.add(r);
        }
        recent.push_front(r);
        if (recent.size() > std::size_t(kRecentBoards))
            recent.pop_back();
    }
    if (q.lastError().isValid()) {
        d.lastError = q.lastError();
        q.finish();
        d.failedRead();
        return RecordsSummary();
    }
    q.finish();
    d.skipped(skipped, "attempts");
    for (int i = 0; i < kLevelCount; ++i)
        out.levels[std::size_t(i)] = levels[std::size_t(i)].stats;
    out.total = total.stats;
    out.review = review.stats;
    if (!d.readRecall(&out)) {
        d.failedRead();
        return RecordsSummary();
    }
    out.recent.assign(recent.begin(), recent.end());
    return out;
}

bool RecordsStore::isNewBest(int level, std::int64_t playMs)
{
    Impl &d = *d_;
    if (!d.usable || level < 0 || level >= kLevelCount)
        return false;
    QSqlQuery &q = d.statement(QStringLiteral(
        "SELECT min(play_ms) FROM attempts WHERE level = ? AND result = ? AND picks > 0 AND play_ms BETWEEN 0 AND ?"
        " AND %1 = 0 AND %2 = 0 AND board_id NOT IN (SELECT id FROM boards WHERE review = 1)")
                                   .arg(d.sinceColumn(kPracticeSchemaVersion, "practice"),
                                        d.sinceColumn(kPracticeSchemaVersion, "hints")));
    if (!d.run(q, {level, int(BoardEnd::Won), v64(kMaxPlayMs)})) {
        d.failedRead();
        return false;
    }
    std::int64_t best = 0;
    const bool any = q.next() && readInt(q, 0, 0, kMaxPlayMs, &best);
    q.finish();
    return !any || playMs < best;
}

bool RecordsStore::clearLevel(int level)
{
    Impl &d = *d_;
    if (level < 0 || level >= kLevelCount)
        return false;
    return d.write([&] {
        // The board in play and the board dealt last (for 再度) stay.
        if (!d.run(QStringLiteral("DELETE FROM picks WHERE attempt_id IN"
                                  " (SELECT id FROM attempts WHERE level = ? AND result <> 0 AND board_id NOT IN (SELECT id FROM boards WHERE review = 1))"),
                   {level}) ||
            !d.run(QStringLiteral("DELETE FROM attempts WHERE level = ? AND result <> 0"
                                  " AND board_id NOT IN (SELECT id FROM boards WHERE review = 1)"), {level}) ||
            !d.run(QStringLiteral("DELETE FROM boards WHERE level = ? AND id NOT IN (SELECT board_id FROM attempts)"
                                  " AND id <> (SELECT max(id) FROM boards)"),
                   {level}))
            return Step::Failed;
        return Step::Done;
    });
}

// ---------------------------------------------------------------- settings

std::optional<int> RecordsStore::lastLevel()
{
    Impl &d = *d_;
    if (!d.usable)
        return std::nullopt;
    QSqlQuery &q = d.statement(QStringLiteral("SELECT value FROM settings WHERE key = ?"));
    if (!d.run(q, {kLastLevelKey})) {
        d.failedRead();
        return std::nullopt;
    }
    std::int64_t level = 0;
    const bool ok = q.next() && readInt(q, 0, 0, kLevelCount - 1, &level);
    q.finish();
    return ok ? std::optional<int>(int(level)) : std::nullopt;
}

bool RecordsStore::setLastLevel(int level)
{
    Impl &d = *d_;
    if (level < 0 || level >= kLevelCount)
        return false;
    return d.write([&] {
        return d.run(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"), {kLastLevelKey, level})
                   ? Step::Done
                   : Step::Failed;
    });
}

} // namespace horokata
