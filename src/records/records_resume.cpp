// The board in play saved for resuming: its columns, written at rest and read back with
// every value checked on the next start.
#include "records/records_store_impl.h"

#include <QStringList>

namespace horokata {

namespace {

// Stored in place of the caption of a hidden cell that shows nothing (never a tile's character).
constexpr QChar kNoCaption = QChar(0x3000);

QString flags(const bool *begin, std::size_t n)
{
    QString text(qsizetype(n), u'0');
    for (std::size_t i = 0; i < n; ++i)
        if (begin[i])
            text[qsizetype(i)] = u'1';
    return text;
}

bool readFlags(const QString &text, bool *out, std::size_t n)
{
    if (text.size() != qsizetype(n))
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        const QChar c = text[qsizetype(i)];
        if (c != u'0' && c != u'1')
            return false;
        out[i] = c == u'1';
    }
    return true;
}


bool decodeResume(const ResumeColumns &r, SavedBoard *b)
{
    if (!readFlags(r.found, b->intFIND.data(), b->intFIND.size()) ||
        !readFlags(r.standing, b->intMOJI.data(), b->intMOJI.size()))
        return false;
    if (r.lines.size() % Idiom::kLength != 0 || r.lines.size() >= kIdioms * Idiom::kLength)
        return false;
    for (qsizetype n = 0; n * Idiom::kLength < r.lines.size(); ++n)
        b->lines[std::size_t(n)] = r.lines.mid(n * Idiom::kLength, Idiom::kLength);
    if (r.cells.size() != kCells)
        return false;
    for (int i = 0; i < kCells; ++i)
        b->captions[std::size_t(i)] = r.cells[i] == kNoCaption ? QString() : QString(r.cells[i]);
    b->pick.clear();
    if (!r.pick.isEmpty()) {
        const QStringList cells = r.pick.split(u',');
        if (cells.size() >= Idiom::kLength)
            return false;
        for (const QString &text : cells) {
            bool ok = false;
            const int cell = text.toInt(&ok);
            if (!ok || cell < 0 || cell >= kCells || text != QString::number(cell))
                return false;
            b->pick.push_back(cell);
        }
    }
    return true;
}

} // namespace

std::optional<ResumeColumns> encodeResume(const SavedBoard &b)
{
    ResumeColumns r;
    r.found = flags(b.intFIND.data(), b.intFIND.size());
    bool ended = false;
    for (const QString &line : b.lines) {
        if (line.isEmpty()) {
            ended = true;
        } else {
            if (ended || line.size() != Idiom::kLength)
                return std::nullopt;
            r.lines += line;
        }
    }
    for (const QString &caption : b.captions) {
        if (caption.size() > 1)
            return std::nullopt;
        r.cells += caption.isEmpty() ? kNoCaption : caption.front();
    }
    r.standing = flags(b.intMOJI.data(), b.intMOJI.size());
    QStringList cells;
    for (int cell : b.pick)
        cells << QString::number(cell);
    r.pick = cells.join(u',');
    // An empty text is stored as such: a null one would be bound as NULL.
    for (QString *text : {&r.found, &r.lines, &r.cells, &r.standing, &r.pick})
        if (text->isNull())
            *text = QStringLiteral("");
    return r;
}

// ---------------------------------------------------------------- resume

const QString kSaveResumeSql = QStringLiteral(
    "INSERT OR REPLACE INTO resume (id, attempt_id, board_id, found, lines, cells, standing, pick, misses, color,"
    " painted, play_ms, saved_at, paused, hints, practice) VALUES (1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");

QVariantList resumeValues(const SavedBoard &b, const ResumeColumns &r, std::int64_t now)
{
    return {v64(b.attemptId), v64(b.boardId), r.found, r.lines, r.cells, r.standing, r.pick, b.intMISS, b.intCOLOR,
            b.intGRADE, v64(b.playMs), v64(now), b.paused ? 1 : 0, b.hints, b.practice ? 1 : 0};
}

bool RecordsStore::saveResume(const SavedBoard &board)
{
    Impl &d = *d_;
    const std::optional<ResumeColumns> r = encodeResume(board);
    if (!r)
        return false;
    const std::int64_t now = d.now();
    return d.write([&] {
        return d.run(kSaveResumeSql, resumeValues(board, *r, now))
                   ? Step::Done
                   : Step::Failed;
    });
}

bool RecordsStore::clearResume()
{
    Impl &d = *d_;
    return d.write([&] { return d.run(QStringLiteral("DELETE FROM resume")) ? Step::Done : Step::Failed; });
}

namespace {

// Reads the resume row into `b`: false when a value is not one the game writes, or there are
// more rows than one. `present` says whether there was a row at all.
bool readResumeRow(QSqlQuery &row, SavedBoard *b, bool *present)
{
    *present = row.next();
    if (!*present)
        return false;
    ResumeColumns r;
    std::int64_t attemptId = 0, boardId = 0, misses = 0, color = 0, painted = 0, playMs = 0, paused = 0, hints = 0,
                 practice = 0;
    const bool readable = readInt(row, 0, 1, INT64_MAX, &attemptId) && readInt(row, 1, 1, INT64_MAX, &boardId) &&
                          readText(row, 2, &r.found) && readText(row, 3, &r.lines) && readText(row, 4, &r.cells) &&
                          readText(row, 5, &r.standing) && readText(row, 6, &r.pick) &&
                          readInt(row, 7, 0, kMaxRestingMisses, &misses) && readInt(row, 8, 0, kColorSchemes - 1, &color) &&
                          readInt(row, 9, 0, kColorSchemes - 1, &painted) && readInt(row, 10, 0, kMaxPlayMs, &playMs) &&
                          readInt(row, 11, 0, 1, &paused) && readInt(row, 12, 0, kMaxHints, &hints) &&
                          readInt(row, 13, 0, 1, &practice) && decodeResume(r, b);
    b->attemptId = attemptId;
    b->boardId = boardId;
    b->intMISS = int(misses);
    b->intCOLOR = int(color);
    b->intGRADE = int(painted);
    b->playMs = playMs;
    b->paused = paused != 0;
    b->hints = int(hints);
    b->practice = practice != 0;
    return readable && !row.next(); // more than one board in play is not the game's
}

} // namespace

// The saved board's attempt must be open on its board, and the board must lay out again with
// its level's list as it reads now. Empty when it can be resumed, else why not. `readFailed`
// is set when the database failed the read.
QString RecordsStore::Impl::checkResumeAttempt(SavedBoard &b, const LevelListSource &levelList, bool *readFailed)
{
    // Its misses as recorded can only add.
    QSqlQuery &attempt = statement(QStringLiteral(
        "SELECT a.board_id, a.misses, (SELECT count(*) FROM picks p WHERE p.attempt_id = a.id AND p.found = 0),"
        " b.level, b.dealt_at, b.tiles, b.idioms, %1 FROM attempts a JOIN boards b ON b.id = a.board_id"
        " WHERE a.id = ? AND a.result = 0").arg(reviewColumn("b.review")));
    if (!run(attempt, {v64(b.attemptId)})) {
        *readFailed = true;
        return QString();
    }
    std::int64_t boardId = 0, misses = 0, missPicks = 0, review = 0;
    DealtBoard deal;
    const bool open = attempt.next() && readInt(attempt, 0, 1, INT64_MAX, &boardId) &&
                      readInt(attempt, 1, 0, INT32_MAX, &misses) && readInt(attempt, 2, 0, INT32_MAX, &missPicks) &&
                      readDeal(attempt, 3, &deal) && readInt(attempt, 7, 0, 1, &review);
    attempt.finish();
    if (!open || boardId != b.boardId)
        return QStringLiteral("the saved board's attempt is not in play");
    b.level = deal.level;
    b.strMOJI = deal.strMOJI;
    b.strGOKU = deal.strGOKU;
    b.intMISS = int(std::max({std::int64_t(b.intMISS), misses, missPicks}));
    b.review = review != 0;
    const std::optional<std::vector<Idiom>> list = levelList ? levelList(b.level) : std::nullopt;
    if (!list)
        return QStringLiteral("the list of level %1 no longer reads").arg(levelFileName(b.level));
    if (!b.review)
        return checkSavedBoard(b, *list);
    // A review board was dealt from the notebook, and is checked against it.
    QSqlDatabase d = db();
    QSqlError error;
    std::vector<Idiom> noted{Idiom()};
    for (Idiom &idiom : notebookIdioms(d, &error))
        noted.push_back(std::move(idiom));
    if (error.isValid()) {
        *readFailed = true;
        return QString();
    }
    return checkSavedBoard(b, noted);
}

ResumeLoad RecordsStore::loadResume(const LevelListSource &levelList)
{
    Impl &d = *d_;
    ResumeLoad out;
    if (!d.usable)
        return out;
    QSqlQuery &row = d.statement(QStringLiteral("SELECT attempt_id, board_id, found, lines, cells, standing, pick, misses,"
                                                " color, painted, play_ms, %1, %2, %3 FROM resume ORDER BY id LIMIT 2")
                                     .arg(d.sinceColumn(kPracticeSchemaVersion, "paused"),
                                          d.sinceColumn(kPracticeSchemaVersion, "hints"),
                                          d.sinceColumn(kPracticeSchemaVersion, "practice")));
    if (!d.run(row)) {
        d.failedRead();
        return out;
    }
    bool present = false;
    const bool readable = readResumeRow(row, &out.board, &present);
    row.finish();
    const std::int64_t attemptId = out.board.attemptId;
    if (present && !readable) {
        out.problem = QStringLiteral("the saved board holds values the game never writes");
    } else if (present) {
        bool readFailed = false;
        out.problem = d.checkResumeAttempt(out.board, levelList, &readFailed);
        if (readFailed) {
            d.failedRead();
            return ResumeLoad();
        }
    }
    if (present)
        out.status = out.problem.isEmpty() ? ResumeLoad::Status::Ok : ResumeLoad::Status::SetAside;

    // Any other board left open (a deal the game never saved at rest) can no longer be played;
    // a board that cannot be laid out again is set aside. Both count as abandoned. A store that
    // only reads changes nothing: the same board comes back at every start.
    const std::int64_t keep = out.status == ResumeLoad::Status::Ok ? attemptId : 0;
    const std::int64_t now = d.now();
    d.write([&] {
        if (!d.run(QStringLiteral("UPDATE attempts SET result = ?, ended_at = ? WHERE result = 0 AND id <> ?"),
                   {int(BoardEnd::SetAside), v64(now), v64(keep)}))
            return Step::Failed;
        if (!keep && present && !d.run(QStringLiteral("DELETE FROM resume")))
            return Step::Failed;
        return Step::Done;
    });
    if (out.status == ResumeLoad::Status::SetAside) {
        qWarning("The saved board was set aside: %s", qPrintable(out.problem));
        out.board = SavedBoard();
    }
    return out;
}

} // namespace horokata
