// The records file's tables and the columns each must have, checked by name on every open;
// what is missing is made again and everything else kept, and older files come forward.
#include "records/records_store_impl.h"

#include <QMetaType>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace horokata {

namespace {

// A column as the game reads it. `repair` is how ALTER TABLE adds it back to a table that lost
// it: without NOT NULL or a default, so that the rows it is added to read as NULL and are
// skipped rather than trusted; nullptr for a key column, whose table is built again instead.
struct ColumnShape {
    const char *name;
    const char *repair;
    int since = 1; // the schema version that added it: an older file gains it without a notice
};

// A table the game uses: the schema version that added it, how it is made, its columns by
// name (a file may hold others too), and its indexes. Later versions add their tables and
// columns here; an older file gains them on opening, a damaged one gets them back.
struct TableShape {
    int since;
    const char *name;
    const char *create;
    std::vector<ColumnShape> columns;
    std::vector<std::pair<const char *, const char *>> indexes; // name, CREATE INDEX
    bool derived = false; // rebuilt from the other tables rather than patched
    // Run when the table was made again while the tables naming its rows were kept: keeps the
    // ids they name taken, by rows the reads skip, so that no new row is taken for an old one's.
    const char *reserve = nullptr;
};

// Times are ms since the epoch (UTC); play times are ms of the play clock.
const std::vector<TableShape> &tableShapes()
{
    static const std::vector<TableShape> shapes = {
        // One row per board dealt: its level, the 80 tiles as dealt (cell order, one character
        // each) and the 20 idioms in order (four characters each, joined). review: 1 for a
        // board dealt from the notebook (its level then gives only the colours).
        {1, "boards",
         "CREATE TABLE boards (id INTEGER PRIMARY KEY, level INTEGER NOT NULL, dealt_at INTEGER NOT NULL,"
         " tiles TEXT NOT NULL, idioms TEXT NOT NULL, review INTEGER NOT NULL DEFAULT 0)",
         {{"id", nullptr}, {"level", "INTEGER"}, {"dealt_at", "INTEGER"}, {"tiles", "TEXT"}, {"idioms", "TEXT"},
          {"review", "INTEGER NOT NULL DEFAULT 0", 3}},
         {},
         false,
         "INSERT OR IGNORE INTO boards (id, level, dealt_at, tiles, idioms) SELECT board_id, -1, 0, '', '' FROM"
         " (SELECT board_id FROM attempts UNION SELECT board_id FROM resume) WHERE board_id IS NOT NULL"},
        // One row per attempt at a board (再度 starts another): how it ended (result, see
        // BoardEnd), how many picks and misses, and the play clock. The level is the board's,
        // kept here so that the records read one table. practice: 1 for a board played again
        // (再度), which never counts in the figures; hints: the hints given on it.
        {1, "attempts",
         "CREATE TABLE attempts (id INTEGER PRIMARY KEY, board_id INTEGER NOT NULL, level INTEGER NOT NULL,"
         " started_at INTEGER NOT NULL, ended_at INTEGER, result INTEGER NOT NULL DEFAULT 0,"
         " picks INTEGER NOT NULL DEFAULT 0, misses INTEGER NOT NULL DEFAULT 0, play_ms INTEGER NOT NULL DEFAULT 0,"
         " practice INTEGER NOT NULL DEFAULT 0, hints INTEGER NOT NULL DEFAULT 0)",
         {{"id", nullptr}, {"board_id", "INTEGER"}, {"level", "INTEGER"}, {"started_at", "INTEGER"},
          {"ended_at", "INTEGER"}, {"result", "INTEGER"}, {"picks", "INTEGER"}, {"misses", "INTEGER"},
          {"play_ms", "INTEGER"}, {"practice", "INTEGER NOT NULL DEFAULT 0", 4}, {"hints", "INTEGER NOT NULL DEFAULT 0", 4}},
         {{"attempts_by_board", "CREATE INDEX attempts_by_board ON attempts (board_id)"},
          {"attempts_by_level", "CREATE INDEX attempts_by_level ON attempts (level, result)"}},
         false,
         "INSERT OR IGNORE INTO attempts (id, board_id, level, started_at, result, picks, misses, play_ms)"
         " SELECT attempt_id, 0, -1, 0, -1, 0, 0, 0 FROM"
         " (SELECT attempt_id FROM picks UNION SELECT attempt_id FROM resume) WHERE attempt_id IS NOT NULL"},
        // Every pick of four tiles: found (with the hidden idiom's number 1..20 and the idiom
        // as spelled) or missed.
        {1, "picks",
         "CREATE TABLE picks (attempt_id INTEGER NOT NULL, seq INTEGER NOT NULL, found INTEGER NOT NULL, idiom INTEGER,"
         " spelled TEXT NOT NULL, play_ms INTEGER NOT NULL, at INTEGER NOT NULL, PRIMARY KEY (attempt_id, seq))"
         " WITHOUT ROWID",
         {{"attempt_id", nullptr}, {"seq", nullptr}, {"found", "INTEGER"}, {"idiom", "INTEGER"}, {"spelled", "TEXT"},
          {"play_ms", "INTEGER"}, {"at", "INTEGER"}},
         {}},
        {1, "settings", "CREATE TABLE settings (key TEXT PRIMARY KEY, value) WITHOUT ROWID",
         {{"key", nullptr}, {"value", ""}}, {}},
        // The board in play at its last rest, at most one row. found: 20 of 0/1 (strGOKU
        // order); lines: the idioms shown on the used lines, joined; cells: the 80 captions
        // now; standing: 80 of 0/1; pick: the picked cells, comma separated; paused, hints and
        // practice as the board stood.
        {1, "resume",
         "CREATE TABLE resume (id INTEGER PRIMARY KEY CHECK (id = 1), attempt_id INTEGER NOT NULL,"
         " board_id INTEGER NOT NULL, found TEXT NOT NULL, lines TEXT NOT NULL, cells TEXT NOT NULL,"
         " standing TEXT NOT NULL, pick TEXT NOT NULL, misses INTEGER NOT NULL, color INTEGER NOT NULL,"
         " painted INTEGER NOT NULL, play_ms INTEGER NOT NULL, saved_at INTEGER NOT NULL,"
         " paused INTEGER NOT NULL DEFAULT 0, hints INTEGER NOT NULL DEFAULT 0, practice INTEGER NOT NULL DEFAULT 0)",
         {{"id", nullptr}, {"attempt_id", "INTEGER"}, {"board_id", "INTEGER"}, {"found", "TEXT"}, {"lines", "TEXT"},
          {"cells", "TEXT"}, {"standing", "TEXT"}, {"pick", "TEXT"}, {"misses", "INTEGER"}, {"color", "INTEGER"},
          {"painted", "INTEGER"}, {"play_ms", "INTEGER"}, {"saved_at", "INTEGER"},
          {"paused", "INTEGER NOT NULL DEFAULT 0", 4}, {"hints", "INTEGER NOT NULL DEFAULT 0", 4},
          {"practice", "INTEGER NOT NULL DEFAULT 0", 4}},
         {}},
        // The notebook, one row per idiom met (as spelled when found). levels: one bit per
        // level it was met on. It is drawn from the boards kept, so it is rebuilt, not patched.
        // The review schedule (stability and difficulty of the idiom's memory, the day of the
        // last review and the day due, as Julian days; reviews and lapses) is added to a row
        // that lacks it (NULL), started from its counts and dates.
        {2, "notebook",
         "CREATE TABLE notebook (idiom TEXT PRIMARY KEY, levels INTEGER NOT NULL, found INTEGER NOT NULL,"
         " missed INTEGER NOT NULL, last_found INTEGER NOT NULL, first_met INTEGER NOT NULL,"
         " last_met INTEGER NOT NULL, stability REAL, difficulty REAL, last_review INTEGER, due INTEGER,"
         " reps INTEGER, lapses INTEGER) WITHOUT ROWID",
         {{"idiom", nullptr}, {"levels", nullptr}, {"found", nullptr}, {"missed", nullptr}, {"last_found", nullptr},
          {"first_met", nullptr}, {"last_met", nullptr}, {"stability", "REAL", 3}, {"difficulty", "REAL", 3},
          {"last_review", "INTEGER", 3}, {"due", "INTEGER", 3}, {"reps", "INTEGER", 3}, {"lapses", "INTEGER", 3}},
         {},
         true},
    };
    return shapes;
}

const TableShape *shapeOf(const QString &table)
{
    for (const TableShape &t : tableShapes())
        if (table == QLatin1String(t.name))
            return &t;
    return nullptr;
}

bool exec(QSqlQuery &q, const QString &sql, QSqlError *error)
{
    if (q.exec(sql))
        return true;
    *error = q.lastError();
    return false;
}

// The notebook filled from the boards kept: every find, and every idiom left unfound on a lost
// or given-up attempt, in the order they happened.
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
    if (!exec(q, QStringLiteral("SELECT p.spelled, a.level, p.at FROM picks p JOIN attempts a ON a.id = p.attempt_id"
                                " WHERE p.found = 1"), error))
        return false;
    while (q.next()) {
        QString idiom;
        std::int64_t level = 0, at = 0;
        if (readText(q, 0, &idiom) && idiom.size() == Idiom::kLength && readInt(q, 1, 0, kLevelCount - 1, &level) &&
            readInt(q, 2, 0, INT64_MAX, &at))
            meetings.push_back({at, idiom, int(level), true});
    }
    // The idioms of lost boards that were not found in that attempt.
    if (!exec(q, QStringLiteral("SELECT a.id, a.level, a.ended_at, b.idioms FROM attempts a JOIN boards b ON b.id = a.board_id"
                                " WHERE a.result IN (%1, %2)").arg(int(BoardEnd::Lost)).arg(int(BoardEnd::GaveUp)), error))
        return false;
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

// A table that lost a key column is made again: its rows move across by the columns both
// have, and a row the new table refuses (a key or NOT NULL value missing) is left out.
bool rebuildTable(QSqlDatabase &db, const TableShape &t, int *dropped, QSqlError *error)
{
    QSqlQuery q(db);
    const QString name = QLatin1String(t.name);
    const QString old = name + QStringLiteral("_damaged");
    if (!exec(q, QStringLiteral("DROP TABLE IF EXISTS %1").arg(old), error) ||
        !exec(q, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(name, old), error) ||
        !exec(q, QString::fromUtf8(t.create), error) ||
        !exec(q, QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(old), error))
        return false;
    QStringList common;
    while (q.next())
        for (const ColumnShape &c : t.columns)
            if (q.value(0).toString() == QLatin1String(c.name))
                common << q.value(0).toString();
    q.finish();
    const QString columns = common.join(u',');
    if (!common.isEmpty() &&
        !exec(q, QStringLiteral("INSERT OR IGNORE INTO %1 (%2) SELECT %2 FROM %3").arg(name, columns, old), error))
        return false;
    if (!exec(q, QStringLiteral("SELECT (SELECT count(*) FROM %1) - (SELECT count(*) FROM %2)").arg(old, name), error) ||
        !q.next())
        return false;
    *dropped = q.value(0).toInt();
    q.finish();
    return exec(q, QStringLiteral("DROP TABLE %1").arg(old), error);
}

} // namespace

bool SchemaGaps::empty() const
{
    return tables.isEmpty() && columns.isEmpty() && indexes.isEmpty();
}

bool findSchemaGaps(QSqlDatabase &db, SchemaGaps *gaps, QSqlError *error)
{
    *gaps = SchemaGaps();
    // Every table's columns and every index, by name, in one read of the table of tables.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("SELECT m.type, m.name, p.name FROM sqlite_master m"
                                " LEFT JOIN pragma_table_info(m.name) p ON m.type = 'table'"
                                " WHERE m.type IN ('table', 'index')"), error))
        return false;
    QSet<QString> tables, columns, indexes;
    while (q.next()) {
        const QString name = q.value(1).toString();
        if (q.value(0).toString() == QLatin1String("index")) {
            indexes.insert(name);
        } else {
            tables.insert(name);
            columns.insert(name + u'.' + q.value(2).toString());
        }
    }
    if (q.lastError().isValid()) {
        *error = q.lastError();
        return false;
    }
    for (const TableShape &t : tableShapes()) {
        const QString table = QLatin1String(t.name);
        if (!tables.contains(table)) {
            gaps->tables << table;
            continue;
        }
        for (const ColumnShape &c : t.columns)
            if (!columns.contains(table + u'.' + QLatin1String(c.name)))
                gaps->columns << table + u'.' + QLatin1String(c.name);
        for (const auto &[index, create] : t.indexes)
            if (!indexes.contains(QLatin1String(index)))
                gaps->indexes << QLatin1String(index);
    }
    return true;
}

bool repairSchema(QSqlDatabase &db, const SchemaGaps &gaps, int fileVersion, QStringList *repaired, QSqlError *error)
{
    QSqlQuery q(db);
    QSet<const TableShape *> made; // tables made new here: their indexes come with them
    for (const QString &table : gaps.tables) {
        const TableShape *t = shapeOf(table);
        if (!exec(q, QString::fromUtf8(t->create), error) || (t->derived && !fillNotebookFromHistory(db, error)))
            return false;
        made.insert(t);
        // A table newer than the file is the file brought forward, not a repair.
        if (t->since <= fileVersion)
            *repaired << QStringLiteral("the table %1 was missing: it was made again%2")
                             .arg(table, t->derived ? QStringLiteral(" from the boards kept") : QString());
    }
    for (const QString &column : gaps.columns) {
        const QString table = column.section(u'.', 0, 0);
        const TableShape *t = shapeOf(table);
        if (made.contains(t))
            continue;
        const auto shape = std::find_if(t->columns.begin(), t->columns.end(),
                                       [&](const ColumnShape &c) { return column.section(u'.', 1) == QLatin1String(c.name); });
        if (t->derived && !shape->repair) {
            if (!exec(q, QStringLiteral("DROP TABLE %1").arg(table), error) || !exec(q, QString::fromUtf8(t->create), error) ||
                !fillNotebookFromHistory(db, error))
                return false;
            made.insert(t);
            *repaired << QStringLiteral("the table %1 lacked the column %2: it was made again from the boards kept")
                             .arg(table, QLatin1String(shape->name));
        } else if (!shape->repair) {
            int dropped = 0;
            if (!rebuildTable(db, *t, &dropped, error))
                return false;
            made.insert(t);
            *repaired << QStringLiteral("the table %1 lacked its key column %2: it was made again, %3 rows left out")
                             .arg(table, QLatin1String(shape->name)).arg(dropped);
        } else {
            if (!exec(q, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, QLatin1String(shape->name),
                                                                             QLatin1String(shape->repair)), error))
                return false;
            if (shape->since > fileVersion)
                continue; // the file brought forward
            *repaired << (t->derived ? QStringLiteral("the column %1 was missing: it was added, and started again from"
                                                      " the counts").arg(column)
                                     : QStringLiteral("the column %1 was missing: it was added, and its rows are skipped")
                                           .arg(column));
        }
    }
    // Before practice was kept, every attempt after its board's first was a replay: practice.
    if (fileVersion >= 1 && fileVersion < kPracticeSchemaVersion && gaps.columns.contains(QStringLiteral("attempts.practice")) &&
        !exec(q, QStringLiteral("UPDATE attempts SET practice = 1 WHERE id > (SELECT min(f.id) FROM attempts f"
                                " WHERE f.board_id = attempts.board_id)"), error))
        return false;
    // Rows without a review schedule (an older file's, or a repaired one's) start from their counts.
    if (!fillScheduleFromHistory(db, error))
        return false;
    for (const TableShape &t : tableShapes())
        if (made.contains(&t) && t.reserve && !exec(q, QString::fromUtf8(t.reserve), error))
            return false;
    for (const TableShape &t : tableShapes())
        for (const auto &[index, create] : t.indexes)
            if ((made.contains(&t) || gaps.indexes.contains(QLatin1String(index))) &&
                !exec(q, QString::fromUtf8(create).replace(QStringLiteral("INDEX "), QStringLiteral("INDEX IF NOT EXISTS ")), error))
                return false;
    if (fileVersion < 1 && !exec(q, QStringLiteral("PRAGMA application_id = %1").arg(kRecordsApplicationId), error))
        return false;
    return fileVersion >= kRecordsSchemaVersion ||
           exec(q, QStringLiteral("PRAGMA user_version = %1").arg(kRecordsSchemaVersion), error);
}

QString quickCheck(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA quick_check(5)")))
        return q.lastError().text();
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    return problems.join(QStringLiteral("; "));
}
bool noteIdiom(QSqlDatabase &db, const QString &idiom, int level, bool found, std::int64_t atMs, QSqlError *error,
               bool review)
{
    QSqlQuery q(db);
    // An idiom new to the notebook on a review board (removed meanwhile) takes the board's level.
    q.prepare(QStringLiteral(
                  "INSERT INTO notebook (idiom, levels, found, missed, last_found, first_met, last_met)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?)"
                  " ON CONFLICT (idiom) DO UPDATE SET levels = levels | %1,"
                  " found = found + excluded.found, missed = missed + excluded.missed,"
                  " last_found = excluded.last_found, first_met = min(first_met, excluded.first_met),"
                  " last_met = max(last_met, excluded.last_met)")
                  .arg(review ? QStringLiteral("0") : QStringLiteral("excluded.levels")));
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
