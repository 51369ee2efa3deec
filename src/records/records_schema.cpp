// The records file's tables, version by version, and the forward migrations between them.
#include "records/records_store_impl.h"

#include <QMetaType>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace horokata {

namespace {

// Version 1: the boards dealt, the attempts at them, their picks, the settings and the board
// in play. Times are ms since the epoch (UTC); play times are ms of the play clock.
const char *const kVersion1[] = {
    // One row per board dealt: its level, the 80 tiles as dealt (cell order, one character
    // each) and the 20 idioms in order (four characters each, joined).
    "CREATE TABLE boards ("
    " id INTEGER PRIMARY KEY,"
    " level INTEGER NOT NULL,"
    " dealt_at INTEGER NOT NULL,"
    " tiles TEXT NOT NULL,"
    " idioms TEXT NOT NULL)",
    // One row per attempt at a board (再度 starts another): how it ended (result, see
    // BoardEnd), how many picks and misses, and the play clock. The level is the board's,
    // kept here so that the records read one table.
    "CREATE TABLE attempts ("
    " id INTEGER PRIMARY KEY,"
    " board_id INTEGER NOT NULL,"
    " level INTEGER NOT NULL,"
    " started_at INTEGER NOT NULL,"
    " ended_at INTEGER,"
    " result INTEGER NOT NULL DEFAULT 0,"
    " picks INTEGER NOT NULL DEFAULT 0,"
    " misses INTEGER NOT NULL DEFAULT 0,"
    " play_ms INTEGER NOT NULL DEFAULT 0)",
    "CREATE INDEX attempts_by_board ON attempts (board_id)",
    "CREATE INDEX attempts_by_level ON attempts (level, result)",
    // Every pick of four tiles: found (with the hidden idiom's number 1..20 and the idiom as
    // spelled) or missed.
    "CREATE TABLE picks ("
    " attempt_id INTEGER NOT NULL,"
    " seq INTEGER NOT NULL,"
    " found INTEGER NOT NULL,"
    " idiom INTEGER,"
    " spelled TEXT NOT NULL,"
    " play_ms INTEGER NOT NULL,"
    " at INTEGER NOT NULL,"
    " PRIMARY KEY (attempt_id, seq)) WITHOUT ROWID",
    "CREATE TABLE settings (key TEXT PRIMARY KEY, value) WITHOUT ROWID",
    // The board in play at its last rest, at most one row. found: 20 of 0/1 (strGOKU order);
    // lines: the idioms shown on the used lines, joined; cells: the 80 captions now;
    // standing: 80 of 0/1; pick: the picked cells, comma separated.
    "CREATE TABLE resume ("
    " id INTEGER PRIMARY KEY CHECK (id = 1),"
    " attempt_id INTEGER NOT NULL,"
    " board_id INTEGER NOT NULL,"
    " found TEXT NOT NULL,"
    " lines TEXT NOT NULL,"
    " cells TEXT NOT NULL,"
    " standing TEXT NOT NULL,"
    " pick TEXT NOT NULL,"
    " misses INTEGER NOT NULL,"
    " color INTEGER NOT NULL,"
    " painted INTEGER NOT NULL,"
    " play_ms INTEGER NOT NULL,"
    " saved_at INTEGER NOT NULL)",
};

// Version 2: the notebook, one row per idiom met (as spelled when found). levels: one bit
// per level it was met on.
const char *const kVersion2[] = {
    "CREATE TABLE notebook ("
    " idiom TEXT PRIMARY KEY,"
    " levels INTEGER NOT NULL,"
    " found INTEGER NOT NULL,"
    " missed INTEGER NOT NULL,"
    " last_found INTEGER NOT NULL,"
    " first_met INTEGER NOT NULL,"
    " last_met INTEGER NOT NULL) WITHOUT ROWID",
};

struct TableColumns {
    int since; // schema version that added the table
    const char *table;
    const char *columns; // comma separated, in order
};
const TableColumns kTables[] = {
    {1, "boards", "id,level,dealt_at,tiles,idioms"},
    {1, "attempts", "id,board_id,level,started_at,ended_at,result,picks,misses,play_ms"},
    {1, "picks", "attempt_id,seq,found,idiom,spelled,play_ms,at"},
    {1, "settings", "key,value"},
    {1, "resume", "id,attempt_id,board_id,found,lines,cells,standing,pick,misses,color,painted,play_ms,saved_at"},
    {2, "notebook", "idiom,levels,found,missed,last_found,first_met,last_met"},
};

bool execAll(QSqlDatabase &db, const auto &statements, QSqlError *error)
{
    QSqlQuery q(db);
    for (const char *sql : statements) {
        if (!q.exec(QString::fromUtf8(sql))) {
            *error = q.lastError();
            return false;
        }
    }
    return true;
}

// The notebook filled from the boards kept before it existed: every find, and every idiom
// left unfound on a lost or given-up attempt, in the order they happened.
bool fillNotebookFromHistory(QSqlDatabase &db, QSqlError *error)
{
    struct Meeting {
        std::int64_t at;
        QString idiom;
        int level;
        bool found;
    };
    std::vector<Meeting> meetings;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT p.spelled, a.level, p.at FROM picks p JOIN attempts a ON a.id = p.attempt_id"
                               " WHERE p.found = 1"))) {
        *error = q.lastError();
        return false;
    }
    while (q.next()) {
        QString idiom;
        std::int64_t level = 0, at = 0;
        if (readText(q, 0, &idiom) && idiom.size() == Idiom::kLength && readInt(q, 1, 0, kLevelCount - 1, &level) &&
            readInt(q, 2, 0, INT64_MAX, &at))
            meetings.push_back({at, idiom, int(level), true});
    }
    // The idioms of lost boards that were not found in that attempt.
    if (!q.exec(QStringLiteral("SELECT a.id, a.level, a.ended_at, b.idioms FROM attempts a JOIN boards b ON b.id = a.board_id"
                               " WHERE a.result IN (%1, %2)")
                    .arg(int(BoardEnd::Lost))
                    .arg(int(BoardEnd::GaveUp)))) {
        *error = q.lastError();
        return false;
    }
    QSqlQuery found(db);
    found.setForwardOnly(true);
    found.prepare(QStringLiteral("SELECT idiom FROM picks WHERE attempt_id = ? AND found = 1"));
    while (q.next()) {
        std::int64_t id = 0, level = 0, at = 0;
        QString idioms;
        if (!readInt(q, 0, 1, INT64_MAX, &id) || !readInt(q, 1, 0, kLevelCount - 1, &level) ||
            !readInt(q, 2, 0, INT64_MAX, &at) || !readText(q, 3, &idioms) || idioms.size() != kIdioms * Idiom::kLength)
            continue;
        QSet<std::int64_t> foundIndices;
        found.addBindValue(QVariant::fromValue<qlonglong>(id));
        if (!found.exec()) {
            *error = found.lastError();
            return false;
        }
        while (found.next()) {
            std::int64_t k = 0;
            if (readInt(found, 0, 1, kIdioms, &k))
                foundIndices.insert(k);
        }
        for (int k = 1; k <= kIdioms; ++k)
            if (!foundIndices.contains(k))
                meetings.push_back({at, idioms.mid((k - 1) * Idiom::kLength, Idiom::kLength), int(level), false});
    }
    q.finish();
    found.finish();
    std::stable_sort(meetings.begin(), meetings.end(), [](const Meeting &a, const Meeting &b) { return a.at < b.at; });
    for (const Meeting &m : meetings)
        if (!noteIdiom(db, m.idiom, m.level, m.found, m.at, error))
            return false;
    return true;
}

} // namespace

bool migrateRecords(QSqlDatabase &db, int from, QSqlError *error)
{
    QSqlQuery q(db);
    if (from < 1) {
        if (!execAll(db, kVersion1, error))
            return false;
        if (!q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kRecordsApplicationId))) {
            *error = q.lastError();
            return false;
        }
    }
    if (from < 2) {
        if (!execAll(db, kVersion2, error) || !fillNotebookFromHistory(db, error))
            return false;
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kRecordsSchemaVersion))) {
        *error = q.lastError();
        return false;
    }
    return true;
}

bool hasRecordsSchema(QSqlDatabase &db, int version)
{
    QSqlQuery q(db);
    for (const TableColumns &t : kTables) {
        if (t.since > version)
            continue;
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.table))))
            return false;
        QStringList names;
        while (q.next())
            names << q.value(1).toString();
        if (names.join(u',') != QLatin1String(t.columns))
            return false;
    }
    return true;
}

bool noteIdiom(QSqlDatabase &db, const QString &idiom, int level, bool found, std::int64_t atMs, QSqlError *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "INSERT INTO notebook (idiom, levels, found, missed, last_found, first_met, last_met)"
        " VALUES (?, ?, ?, ?, ?, ?, ?)"
        " ON CONFLICT (idiom) DO UPDATE SET levels = levels | excluded.levels,"
        " found = found + excluded.found, missed = missed + excluded.missed,"
        " last_found = excluded.last_found, first_met = min(first_met, excluded.first_met),"
        " last_met = max(last_met, excluded.last_met)"));
    q.addBindValue(idiom);
    q.addBindValue(1 << level);
    q.addBindValue(found ? 1 : 0);
    q.addBindValue(found ? 0 : 1);
    q.addBindValue(found ? 1 : 0);
    q.addBindValue(QVariant::fromValue<qlonglong>(atMs));
    q.addBindValue(QVariant::fromValue<qlonglong>(atMs));
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

bool readInt(const QSqlQuery &q, int column, std::int64_t lo, std::int64_t hi, std::int64_t *out)
{
    const QVariant v = q.value(column);
    if (v.isNull() || v.metaType().id() != QMetaType::LongLong)
        return false;
    const std::int64_t n = v.toLongLong();
    if (n < lo || n > hi)
        return false;
    *out = n;
    return true;
}

bool readText(const QSqlQuery &q, int column, QString *out)
{
    const QVariant v = q.value(column);
    if (v.isNull() || v.metaType().id() != QMetaType::QString)
        return false;
    *out = v.toString();
    return true;
}

} // namespace horokata
