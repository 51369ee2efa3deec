// The store's private side shared by its source files: the connection, statements and the
// one way every write goes through a transaction.
#pragma once

#include "records/records_store.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace horokata {

// The schema version that added the review schedule and review boards.
constexpr int kReviewSchemaVersion = 3;
// The version that added practice, hints and the pause to attempts and the saved board.
constexpr int kPracticeSchemaVersion = 4;

// Written into the file's header so that another program's database is never taken for ours.
constexpr int kRecordsApplicationId = 0x486f726b; // "Hork"

// SQLite's primary result codes the store acts on (the low byte of an extended code).
constexpr int kSqlitePerm = 3;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteIoErr = 10;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADatabase = 26;

// A SQLite result code without its extended part; -1 when the error has none.
int sqliteCode(const QSqlError &e);
// SQLite says the file is damaged or not a database.
bool unreadableFile(const QSqlError &e);

// How a write body came out.
enum class Step {
    Done,    // commit
    Refused, // nothing to do or not allowed: roll back quietly
    Failed,  // the database failed: roll back, and the store becomes unavailable
};

// What a file lacks of the tables, columns and indexes the game uses, each by name
// ("boards", "boards.tiles", "attempts_by_board"). Tables and columns the game does not know
// are no gap: a later version may have added them.
struct SchemaGaps {
    QStringList tables, columns, indexes;
    bool empty() const;
};
// Reads the file's tables and columns in one query of the table of tables.
bool findSchemaGaps(QSqlDatabase &db, SchemaGaps *gaps, QSqlError *error);
// Makes good what `gaps` lists, inside the caller's transaction, and marks the file as ours at
// kRecordsSchemaVersion: a missing table is made again (the notebook from the boards kept), a
// missing column added (its rows then read as NULL and are skipped), a table that lost its key
// made again with the rows that still fit. Each repair of damage (not the tables a file of
// `fileVersion` never had) is described in `repaired`.
bool repairSchema(QSqlDatabase &db, const SchemaGaps &gaps, int fileVersion, QStringList *repaired, QSqlError *error);
// What SQLite's quick check says of a file that reported damage: "ok", or its first findings.
QString quickCheck(QSqlDatabase &db);

// Adds one meeting with an idiom to the notebook: found, or revealed after a loss.
// A meeting on a review board adds no level: the idiom keeps the levels it was met on.
bool noteIdiom(QSqlDatabase &db, const QString &idiom, int level, bool found, std::int64_t atMs, QSqlError *error,
               bool review = false);

// Starts every notebook row without a review schedule from its counts and dates.
bool fillScheduleFromHistory(QSqlDatabase &db, QSqlError *error);
// One meeting with a noted idiom as a review rated `rating` on the day of `atMs` (local time).
bool reviewIdiom(QSqlDatabase &db, const QString &idiom, fsrs::Rating rating, std::int64_t atMs, QSqlError *error);
// The notebook's idioms, to check a review board against.
std::vector<Idiom> notebookIdioms(QSqlDatabase &db, QSqlError *error);
// A board is a review board (false for none, or when the file cannot say).
bool isReviewBoard(QSqlDatabase &db, std::int64_t boardId);

// Typed reads of one column: a NULL, another storage type or a value out of range is refused.
bool readInt(const QSqlQuery &q, int column, std::int64_t lo, std::int64_t hi, std::int64_t *out);
bool readText(const QSqlQuery &q, int column, QString *out);

struct RecordsStore::Impl {
    QString connection;
    OpenOutcome outcome;
    bool usable = false;       // a connection is open and the reads work
    bool readOnly = false;     // the connection only reads: nothing is written this run
    bool damaged = false;      // SQLite found the file damaged in use: it is kept, never written
    bool writeFailing = false; // the last write failed; the next one tries again
    int skippedRows = 0;       // rows left out of the reads since the file opened
    bool skipTold = false;
    QString lastNotice;        // the details last told to onFailure
    std::function<std::int64_t()> clock;
    std::function<void(StoreNotice, const QString &)> onFailure;
    QSqlError lastError;
    QHash<QString, QSqlQuery> statements;

    QSqlDatabase db() const { return QSqlDatabase::database(connection, false); }
    std::int64_t now() const { return clock(); }

    // A prepared statement, kept for the life of the connection.
    QSqlQuery &statement(const QString &sql);
    // Runs a prepared statement with these values; false (and lastError set) on failure.
    bool run(QSqlQuery &q, const QVariantList &values = {});
    bool run(const QString &sql, const QVariantList &values = {});

    // One transaction around `body`. True when it committed.
    template <class Body>
    bool write(Body &&body)
    {
        if (!usable || readOnly || damaged)
            return false;
        if (!fileThere() || !run(QStringLiteral("BEGIN IMMEDIATE"))) {
            fail();
            return false;
        }
        const Step step = body();
        if (step == Step::Done && run(QStringLiteral("COMMIT"))) {
            writeFailing = false;
            return true;
        }
        QSqlQuery(db()).exec(QStringLiteral("ROLLBACK"));
        if (step != Step::Refused)
            fail();
        return false;
    }

    // A write failed after a good open. A file found damaged is kept where it is and no longer
    // written; any other failure (disk full, folder gone, file locked) is tried again at the
    // next write. Either is told once when it starts.
    void fail();
    // A read failed: a damaged file is handled as by fail(); anything else only loses the read.
    void failedRead();
    // Counts rows a read left out because they are not rows the game writes; told once.
    void skipped(int rows, const char *what);
    void tell(StoreNotice notice, const QString &details);
    // The file is still where it was opened: SQLite would write on into a removed one unseen.
    bool fileThere();
    // Moves the file at outcome.path with its journal files to a dated name beside it and starts
    // a new file. False, with outcome.reason set, when either cannot be done.
    bool setAsideAndStartAgain(const QString &why);
    void closeConnection();

    // How a connection came out.
    enum class Connect {
        Ok,
        Broken,      // SQLite cannot open the file as a database
        Foreign,     // another program's database, or a newer version's (see `version`)
        Unavailable, // maybe sound, but it cannot be used now (locked, read-only, disk full)
    };
    int version = 0;        // the schema version the file declares
    // A file read as it stands may be older than the review columns: reads then take none.
    QString reviewColumn(const char *column) const { return sinceColumn(kReviewSchemaVersion, column); }
    QString sinceColumn(int since, const char *column) const { return version >= since ? QLatin1String(column) : QStringLiteral("0"); }
    bool fresh = false;     // the file holds nothing yet
    bool ours = false;      // the file carries the game's application id
    bool immutable = false; // read as a file nothing changes (no -shm could be made beside it)
    // Opens a connection that reads only and looks at the file's identity; nothing is written,
    // and a file SQLite cannot share (no -shm can be made beside it) is read as it stands.
    Connect probe(const QString &path, QString *why);
    // Opens the game's connection and brings the file to the current schema, repairing it.
    Connect connect(const QString &path, QString *why);
    // Opens `name` with these connection options and reads the file's identity.
    Connect openConnection(const QString &name, const QString &options, QString *why);
    Connect bringUpToDate(QString *why);
    QString checkResumeAttempt(SavedBoard &b, const LevelListSource &levelList, bool *readFailed);
    // Reads the recall on review boards into `out`; false when the read failed.
    bool readRecall(RecordsSummary *out);
    void setAsideStrays(const QString &path);
    // Settles the outcome of opening: usable unless `status` is Unavailable.
    OpenOutcome finish(OpenOutcome::Status status, const QString &why);
};

// The columns of the resume row that the board in play fills.
struct ResumeColumns {
    QString found, lines, cells, standing, pick;
};

// Saves the board in play: the attempt, the board, the five texts of ResumeColumns, misses,
// colour, painted, play time, the time of saving, paused, hints and practice, bound in that
// order (resumeValues gives them).
extern const QString kSaveResumeSql;
QVariantList resumeValues(const SavedBoard &b, const ResumeColumns &r, std::int64_t now);
// A board in play as the columns of the resume row; nothing when it cannot be written.
std::optional<ResumeColumns> encodeResume(const SavedBoard &b);
// A stored integer bound as a 64-bit value.
QVariant v64(std::int64_t n);
// A deal read from a query's columns from `first` on (level, dealt at, tiles, idioms); false when
// its shape is not a board's.
bool readDeal(const QSqlQuery &q, int first, DealtBoard *b);

} // namespace horokata
