// The store's private side shared by its source files: the connection, statements and the
// one way every write goes through a transaction.
#pragma once

#include "records/records_store.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace horokata {

// Written into the file's header so that another program's database is never taken for ours.
constexpr int kRecordsApplicationId = 0x486f726b; // "Hork"

// How a write body came out.
enum class Step {
    Done,    // commit
    Refused, // nothing to do or not allowed: roll back quietly
    Failed,  // the database failed: roll back, and the store becomes unavailable
};

// Brings a file from schema version `from` up to kRecordsSchemaVersion, inside the caller's
// transaction. Version 1 creates the records and the resume row, version 2 the notebook,
// filled from the boards already kept.
bool migrateRecords(QSqlDatabase &db, int from, QSqlError *error);
// The columns each table must have in a file of this version (for recognising our files).
bool hasRecordsSchema(QSqlDatabase &db, int version);

// Adds one meeting with an idiom to the notebook: found, or revealed after a loss.
bool noteIdiom(QSqlDatabase &db, const QString &idiom, int level, bool found, std::int64_t atMs, QSqlError *error);

// Typed reads of one column: a NULL, another storage type or a value out of range is refused.
bool readInt(const QSqlQuery &q, int column, std::int64_t lo, std::int64_t hi, std::int64_t *out);
bool readText(const QSqlQuery &q, int column, QString *out);

struct RecordsStore::Impl {
    QString connection;
    OpenOutcome outcome;
    bool usable = false; // a connection is open and every call works
    bool readOnly = false;
    int version = 0;     // schema version of the open file
    std::function<std::int64_t()> clock;
    std::function<void(const QString &)> onFailure;
    QSqlError lastError;
    QHash<QString, QSqlQuery> statements;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
    std::int64_t now() const { return clock(); }

    // A prepared statement, kept for the life of the connection.
    QSqlQuery &statement(const QString &sql);
    // Runs a prepared statement with these values; false (and lastError set) on failure.
    bool run(QSqlQuery &q, std::initializer_list<QVariant> values = {});
    bool run(const QString &sql, std::initializer_list<QVariant> values = {});

    // One transaction around `body`. True when it committed.
    template <class Body>
    bool write(Body &&body)
    {
        if (!usable || readOnly)
            return false;
        if (!run(QStringLiteral("BEGIN IMMEDIATE"))) {
            fail();
            return false;
        }
        const Step step = body();
        if (step == Step::Done && run(QStringLiteral("COMMIT")))
            return true;
        QSqlQuery(db()).exec(QStringLiteral("ROLLBACK"));
        if (step != Step::Refused)
            fail();
        return false;
    }

    // A write failed after a good open: no records for the rest of the run, said once. A
    // file found damaged is set aside and a new one started instead.
    void fail();
    // A read failed: a damaged file is handled as by fail(); anything else only loses the read.
    void failedRead();
    // Renames the file at outcome.path (and its journal files) to a dated name beside it and
    // starts a new file. False, with outcome.reason set, when either cannot be done.
    bool setAsideAndStartAgain(const QString &why);
    void closeConnection();

    // Opens the connection and brings the file up to the current schema.
    enum class Connect {
        Ok,
        Broken,      // not a readable records database
        Unavailable, // maybe sound, but it cannot be used now (locked, read-only, disk full)
    };
    Connect connect(const QString &path, QString *why);
};

// The columns of the resume row that the board in play fills.
struct ResumeColumns {
    QString found, lines, cells, standing, pick;
};

// A board in play as the columns of the resume row; nothing when it cannot be written.
std::optional<ResumeColumns> encodeResume(const SavedBoard &b);
// A stored integer bound as a 64-bit value.
QVariant v64(std::int64_t n);
// A deal read from a query's columns from `first` on (level, dealt at, tiles, idioms); false when
// its shape is not a board's.
bool readDeal(const QSqlQuery &q, int first, DealtBoard *b);

} // namespace horokata
