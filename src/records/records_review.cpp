// The notebook's review schedule in the store: each idiom's card, started from its counts when
// the file had none, moved by each meeting, and read with the notebook; recall on review boards.
#include "records/records_store_impl.h"

#include <QDateTime>
#include <QMetaType>
#include <cmath>

namespace horokata {

namespace {

// Julian days the schedule may hold: the years 1858 to 2405, far around any date the game sees.
constexpr std::int64_t kFirstDay = 2400000;
constexpr std::int64_t kLastDay = 2600000;

const fsrs::Scheduler &scheduler()
{
    static const fsrs::Scheduler s;
    return s;
}

QDate localDay(std::int64_t ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).date();
}

bool readReal(const QSqlQuery &q, int column, double lo, double hi, double *out)
{
    const QVariant v = q.value(column);
    const int type = v.metaType().id();
    if (v.isNull() || (type != QMetaType::Double && type != QMetaType::LongLong))
        return false;
    const double x = v.toDouble();
    if (!std::isfinite(x) || x < lo || x > hi)
        return false;
    *out = x;
    return true;
}

// The card kept in the six schedule columns from `first` on; false when any is missing or is
// not a value the schedule writes.
bool readCard(const QSqlQuery &q, int first, fsrs::Card *card)
{
    std::int64_t last = 0, due = 0, reps = 0, lapses = 0;
    fsrs::Card c;
    if (!readReal(q, first, 0.001, 1e7, &c.memory.stability) || !readReal(q, first + 1, 1, 10, &c.memory.difficulty) ||
        !readInt(q, first + 2, kFirstDay, kLastDay, &last) || !readInt(q, first + 3, last, kLastDay, &due) ||
        !readInt(q, first + 4, 1, INT32_MAX, &reps) || !readInt(q, first + 5, 0, reps, &lapses))
        return false;
    c.lastReview = QDate::fromJulianDay(last);
    c.due = QDate::fromJulianDay(due);
    c.reps = int(reps);
    c.lapses = int(lapses);
    *card = c;
    return true;
}

bool writeCard(QSqlDatabase &db, const QString &idiom, const fsrs::Card &c, QSqlError *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE notebook SET stability = ?, difficulty = ?, last_review = ?, due = ?, reps = ?,"
                             " lapses = ? WHERE idiom = ?"));
    for (const QVariant &v : {QVariant(c.memory.stability), QVariant(c.memory.difficulty), v64(c.lastReview.toJulianDay()),
                              v64(c.due.toJulianDay()), QVariant(c.reps), QVariant(c.lapses), QVariant(idiom)})
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

// The card a row's counts and dates start (the columns idiom, found, missed, last_found,
// first_met, last_met from `first` on); false when they are not the game's.
bool cardFromCounts(const QSqlQuery &q, int first, fsrs::Card *card)
{
    std::int64_t found = 0, missed = 0, lastFound = 0, firstMet = 0, lastMet = 0;
    if (!readInt(q, first, 0, INT32_MAX, &found) || !readInt(q, first + 1, 0, INT32_MAX, &missed) ||
        !readInt(q, first + 2, 0, 1, &lastFound) || !readInt(q, first + 3, 0, INT64_MAX, &firstMet) ||
        !readInt(q, first + 4, firstMet, INT64_MAX, &lastMet) || found + missed == 0)
        return false;
    *card = scheduler().fromHistory(int(found), int(missed), lastFound != 0, localDay(firstMet), localDay(lastMet));
    return true;
}

} // namespace

bool fillScheduleFromHistory(QSqlDatabase &db, QSqlError *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT idiom, found, missed, last_found, first_met, last_met FROM notebook"
                               " WHERE stability IS NULL OR difficulty IS NULL OR last_review IS NULL OR due IS NULL"
                               " OR reps IS NULL OR lapses IS NULL"))) {
        *error = q.lastError();
        return false;
    }
    std::vector<std::pair<QString, fsrs::Card>> cards;
    while (q.next()) {
        QString idiom;
        fsrs::Card card;
        // A row the notebook's read skips anyway is left as it is.
        if (readText(q, 0, &idiom) && cardFromCounts(q, 1, &card) && card.lastReview.isValid())
            cards.emplace_back(idiom, card);
    }
    q.finish();
    for (const auto &[idiom, card] : cards)
        if (!writeCard(db, idiom, card, error))
            return false;
    return true;
}

bool reviewIdiom(QSqlDatabase &db, const QString &idiom, fsrs::Rating rating, std::int64_t atMs, QSqlError *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT stability, difficulty, last_review, due, reps, lapses, found, missed, first_met,"
                             " last_met FROM notebook WHERE idiom = ?"));
    q.addBindValue(idiom);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    if (!q.next())
        return true; // not noted: nothing to schedule
    fsrs::Card card;
    if (!readCard(q, 0, &card)) {
        // No schedule yet: a first meeting starts a new card, a later one starts from the
        // counts before this meeting.
        std::int64_t found = 0, missed = 0, firstMet = 0, lastMet = 0;
        const bool again = rating == fsrs::Rating::Again;
        if (readInt(q, 6, 0, INT32_MAX, &found) && readInt(q, 7, 0, INT32_MAX, &missed) &&
            readInt(q, 8, 0, INT64_MAX, &firstMet) && readInt(q, 9, firstMet, INT64_MAX, &lastMet)) {
            const int before = int(found + missed) - 1;
            const int foundBefore = int(found) - (again ? 0 : 1);
            if (before > 0 && foundBefore >= 0)
                card = scheduler().fromHistory(foundBefore, before - foundBefore, before == foundBefore,
                                               localDay(firstMet), localDay(firstMet));
        }
    }
    q.finish();
    const QDate today = localDay(atMs);
    // A clock set back never moves the last review later than today's review.
    if (card.lastReview.isValid() && card.lastReview > today)
        card.lastReview = today;
    return writeCard(db, idiom, scheduler().review(card, rating, today), error);
}

std::vector<Idiom> notebookIdioms(QSqlDatabase &db, QSqlError *error)
{
    std::vector<Idiom> list;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT idiom FROM notebook"))) {
        *error = q.lastError();
        return list;
    }
    QString idiom;
    while (q.next())
        if (readText(q, 0, &idiom) && idiom.size() == Idiom::kLength)
            list.emplace_back(QStringView(idiom));
    return list;
}

bool isReviewBoard(QSqlDatabase &db, std::int64_t boardId)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT review FROM boards WHERE id = ?"));
    q.addBindValue(v64(boardId));
    std::int64_t review = 0;
    return q.exec() && q.next() && readInt(q, 0, 1, 1, &review);
}

std::optional<int> RecordsSummary::recallPercent() const
{
    if (reviewMet <= 0)
        return std::nullopt;
    return int(std::lround(100.0 * reviewFound / reviewMet));
}

// ---------------------------------------------------------------- the notebook read

std::vector<NotebookRecord> RecordsStore::notebook()
{
    Impl &d = *d_;
    std::vector<NotebookRecord> out;
    if (!d.usable)
        return out;
    // A file read as it stands may have no schedule yet: each idiom then starts from its counts.
    const QString schedule = d.version >= kReviewSchemaVersion
                                 ? QStringLiteral("stability, difficulty, last_review, due, reps, lapses")
                                 : QStringLiteral("NULL, NULL, NULL, NULL, NULL, NULL");
    QSqlQuery &q = d.statement(
        QStringLiteral("SELECT idiom, levels, found, missed, last_found, first_met, last_met, %1 FROM notebook").arg(schedule));
    if (!d.run(q)) {
        d.failedRead();
        return out;
    }
    int skipped = 0;
    while (q.next()) {
        NotebookRecord r;
        std::int64_t levels = 0, found = 0, missed = 0, lastFound = 0;
        if (!readText(q, 0, &r.idiom) || r.idiom.size() != Idiom::kLength ||
            !readInt(q, 1, 1, (1 << kLevelCount) - 1, &levels) || !readInt(q, 2, 0, INT32_MAX, &found) ||
            !readInt(q, 3, 0, INT32_MAX, &missed) || !readInt(q, 4, 0, 1, &lastFound) ||
            !readInt(q, 5, 0, INT64_MAX, &r.firstMetMs) || !readInt(q, 6, r.firstMetMs, INT64_MAX, &r.lastMetMs) ||
            found + missed == 0) {
            ++skipped;
            continue;
        }
        r.levels = int(levels);
        r.found = int(found);
        r.missed = int(missed);
        r.lastFound = lastFound != 0;
        // A schedule that is not one the game writes starts again from the counts.
        if (!readCard(q, 7, &r.card))
            cardFromCounts(q, 2, &r.card);
        out.push_back(std::move(r));
    }
    if (q.lastError().isValid()) {
        d.lastError = q.lastError();
        q.finish();
        d.failedRead();
        return {};
    }
    q.finish();
    d.skipped(skipped, "the notebook");
    return out;
}

// Recall on review boards: of the idioms on review boards won or lost, the share found.
bool RecordsStore::Impl::readRecall(RecordsSummary *out)
{
    if (version < kReviewSchemaVersion)
        return true; // a file read as it stands, from before review boards
    QSqlQuery &q = statement(QStringLiteral(
        "WITH r AS (SELECT a.id FROM attempts a JOIN boards b ON b.id = a.board_id WHERE b.review = 1"
        " AND a.result IN (?, ?, ?) AND a.picks > 0)"
        " SELECT (SELECT count(*) FROM r), (SELECT count(DISTINCT attempt_id || ':' || idiom) FROM picks"
        " WHERE found = 1 AND attempt_id IN r)"));
    if (!run(q, {int(BoardEnd::Won), int(BoardEnd::Lost), int(BoardEnd::GaveUp)}))
        return false;
    std::int64_t boards = 0, found = 0;
    if (q.next() && readInt(q, 0, 0, INT32_MAX / kIdioms, &boards) && readInt(q, 1, 0, INT32_MAX, &found)) {
        out->reviewMet = int(boards) * kIdioms;
        out->reviewFound = int(std::min<std::int64_t>(found, out->reviewMet));
    }
    q.finish();
    return true;
}

} // namespace horokata
