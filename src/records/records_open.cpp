// Opening the player's store: a file that cannot be written or that a newer version wrote is
// read as it stands and never changed; what is missing is made again; only a file SQLite cannot
// open as a database is set aside, with its journal.
#include "records/records_store_impl.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtEndian>

namespace horokata {

namespace {

// How long a write waits for a lock held by another program before giving up.
constexpr int kBusyTimeoutMs = 250;

// What the first page of a file says before SQLite is asked to open it.
enum class Header { Empty, Sound, Broken, Unreadable };

// A file that is too short, does not start as a SQLite database, or is shorter than the
// database its header describes (cut off) is not a readable database.
Header checkHeader(const QString &path, QString *why)
{
    QFile f(path);
    if (!f.exists())
        return Header::Empty;
    if (!f.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("the file cannot be read (%1)").arg(f.errorString());
        return Header::Unreadable;
    }
    const qint64 size = f.size();
    if (size == 0)
        return Header::Empty;
    const QByteArray head = f.read(100);
    static const QByteArray kMagic("SQLite format 3\0", 16);
    if (head.size() < 100 || !head.startsWith(kMagic)) {
        *why = QStringLiteral("the file is not an SQLite database");
        return Header::Broken;
    }
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    std::int64_t pageSize = qFromBigEndian<quint16>(p + 16);
    if (pageSize == 1)
        pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0) {
        *why = QStringLiteral("the file's header is damaged");
        return Header::Broken;
    }
    const quint32 changeCounter = qFromBigEndian<quint32>(p + 24);
    const quint32 pages = qFromBigEndian<quint32>(p + 28);
    const quint32 validFor = qFromBigEndian<quint32>(p + 92);
    // While the write-ahead log holds pages, a checkpoint cut short by a kill may have left
    // the file shorter than its header says; SQLite completes it from the log.
    const bool logPending = QFileInfo(path + QStringLiteral("-wal")).size() > 0;
    if (!logPending &&
        (size % pageSize != 0 || (pages != 0 && changeCounter == validFor && size < std::int64_t(pages) * pageSize))) {
        *why = QStringLiteral("the file is cut short");
        return Header::Broken;
    }
    return Header::Sound;
}

const char *const kCompanions[] = {"-wal", "-shm", "-journal"};

bool hasCompanions(const QString &path)
{
    for (const char *companion : kCompanions)
        if (QFileInfo::exists(path + QLatin1String(companion)))
            return true;
    return false;
}

// A free name beside `path` carrying today's date: records.unreadable-2026-12-08.sqlite, then
// -2, -3 ... when that is taken. With `joinLog`, a set-aside name holding journal files without
// its file is a setting aside cut short (the journal moves first): the file goes there.
QString setAsideName(const QString &path, std::int64_t nowMs, bool joinLog)
{
    const QFileInfo fi(path);
    const QString suffix = fi.suffix().isEmpty() ? QString() : u'.' + fi.suffix();
    const QString base = fi.completeBaseName() + QStringLiteral(".unreadable-");
    const QStringList companions =
        joinLog ? fi.dir().entryList({base + QStringLiteral("*") + suffix + QStringLiteral("-*")}, QDir::Files) : QStringList();
    for (const QString &name : companions) {
        const QString main = fi.dir().filePath(name.left(name.lastIndexOf(u'-')));
        if (QFileInfo(main).fileName().endsWith(suffix) && !QFileInfo::exists(main) && hasCompanions(main))
            return main;
    }
    const QString date = QDateTime::fromMSecsSinceEpoch(nowMs).date().toString(Qt::ISODate);
    const QString stem = fi.dir().filePath(base + date);
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name) || hasCompanions(name); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    return name;
}

// Moves the journal files of `from` to `to`, then the file itself when it is there.
bool moveSet(const QString &from, const QString &to)
{
    for (const char *companion : kCompanions) {
        const QString c = from + QLatin1String(companion);
        if (QFileInfo::exists(c) && !QFile::rename(c, to + QLatin1String(companion)))
            return false;
    }
    return !QFileInfo::exists(from) || QFile::rename(from, to);
}

// SQLite's answers that say the file or its folder cannot be written.
bool cannotWrite(const QSqlError &e)
{
    const int code = sqliteCode(e);
    return code == kSqliteReadOnly || code == kSqliteCantOpen || code == kSqlitePerm || code == kSqliteIoErr ||
           code == kSqliteFull;
}

} // namespace

bool RecordsStore::Impl::setAsideAndStartAgain(const QString &why)
{
    {
        // What the log holds goes into the file first where SQLite still can.
        QSqlDatabase d = db();
        if (d.isOpen())
            QSqlQuery(d).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    closeConnection();
    const QString path = outcome.path;
    // Kept beside itself under a dated name, with its journal files; never overwritten.
    const QString aside = setAsideName(path, now(), true);
    if (!moveSet(path, aside)) {
        outcome.reason = QStringLiteral("%1, and it cannot be set aside").arg(why);
        return false;
    }
    qWarning("The records file %s was set aside as %s: %s", qPrintable(path), qPrintable(aside), qPrintable(why));
    outcome.setAsidePath = aside;
    outcome.reason = why;
    QString again;
    if (connect(path, &again) != Connect::Ok) {
        closeConnection();
        outcome.reason = again;
        return false;
    }
    outcome.status = OpenOutcome::Status::SetAside;
    usable = true;
    return true;
}

RecordsStore::Impl::Connect RecordsStore::Impl::openConnection(const QString &name, const QString &options, QString *why)
{
    closeConnection();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(name);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;").arg(kBusyTimeoutMs) + options);
    QSqlQuery q(db);
    const bool opened = db.open();
    if (!opened || !q.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id),"
                                          " (SELECT user_version FROM pragma_user_version),"
                                          " (SELECT count(*) FROM sqlite_master)")) ||
        !q.next()) {
        lastError = opened ? q.lastError() : db.lastError();
        *why = lastError.text();
        return unreadableFile(lastError) ? Connect::Broken : Connect::Unavailable;
    }
    const qint64 appId = q.value(0).toLongLong();
    const qint64 fileVersion = q.value(1).toLongLong();
    fresh = appId == 0 && fileVersion == 0 && q.value(2).toLongLong() == 0;
    ours = appId == kRecordsApplicationId;
    version = int(std::clamp<qint64>(fileVersion, 0, INT32_MAX));
    if (!fresh && (appId != kRecordsApplicationId || fileVersion < 1)) {
        *why = QStringLiteral("the file is a database of another program: it is left as it is");
        return Connect::Foreign;
    }
    if (fileVersion > kRecordsSchemaVersion) {
        *why = QStringLiteral("the file was written by a newer version of the game (version %1): it is left as it is")
                   .arg(fileVersion);
        return Connect::Foreign;
    }
    return Connect::Ok;
}

RecordsStore::Impl::Connect RecordsStore::Impl::probe(const QString &path, QString *why)
{
    readOnly = true;
    immutable = false;
    Connect c = openConnection(path, QStringLiteral("QSQLITE_OPEN_READONLY"), why);
    const int code = sqliteCode(lastError);
    if (c != Connect::Unavailable || (code != kSqliteCantOpen && code != kSqliteReadOnly))
        return c;
    // A file in write-ahead mode needs its -shm beside it, and the folder does not let it be
    // made. Read as an unchanging file, SQLite needs none, but it also ignores the log.
    if (QFileInfo(path + QStringLiteral("-wal")).size() > 0) {
        *why = QStringLiteral("the folder cannot be written, and the latest changes, still in %1-wal, cannot be read "
                              "without it (%2)").arg(QFileInfo(path).fileName(), *why);
        return Connect::Unavailable;
    }
    QUrl uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=ro&immutable=1"));
    immutable = true;
    return openConnection(uri.toString(QUrl::FullyEncoded), QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_OPEN_URI"), why);
}

// Inside one transaction: what the file lacks made again, and an older file brought forward.
RecordsStore::Impl::Connect RecordsStore::Impl::bringUpToDate(QString *why)
{
    QSqlDatabase d = db();
    QSqlQuery q(d);
    const auto failed = [&](const QSqlError &e) {
        lastError = e;
        *why = e.text();
        QSqlQuery(d).exec(QStringLiteral("ROLLBACK"));
        return unreadableFile(e) ? Connect::Broken : Connect::Unavailable;
    };
    // Taking the write lock proves the file and its folder are writable and not locked.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(q.lastError());
    SchemaGaps gaps;
    QSqlError error;
    if (!findSchemaGaps(d, &gaps, &error))
        return failed(error);
    if (gaps.empty() && version == kRecordsSchemaVersion)
        return q.exec(QStringLiteral("ROLLBACK")) ? Connect::Ok : failed(q.lastError());
    QStringList repaired;
    if (!repairSchema(d, gaps, version, &repaired, &error))
        return failed(error);
    if (!q.exec(QStringLiteral("COMMIT")))
        return failed(q.lastError());
    for (const QString &r : repaired)
        qWarning("The records file %s was repaired: %s", qPrintable(outcome.path), qPrintable(r));
    outcome.repaired = repaired;
    if (!fresh && version < kRecordsSchemaVersion)
        outcome.migratedFrom = version;
    version = kRecordsSchemaVersion;
    return Connect::Ok;
}

RecordsStore::Impl::Connect RecordsStore::Impl::connect(const QString &path, QString *why)
{
    readOnly = false;
    immutable = false;
    // SQLite would open a file it cannot write for reading without a word, and then write on
    // into its log: a file that does not open for writing is read instead.
    QFile file(path);
    if (file.exists() && !file.open(QIODevice::ReadWrite)) {
        *why = file.errorString();
        lastError = QSqlError(*why, QString(), QSqlError::ConnectionError, QString::number(kSqliteReadOnly));
        return Connect::Unavailable;
    }
    file.close();
    const Connect c = openConnection(path, QString(), why);
    if (c != Connect::Ok)
        return c;
    QSqlQuery q(db());
    if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next()) {
        lastError = q.lastError();
        *why = lastError.text();
        return unreadableFile(lastError) ? Connect::Broken : Connect::Unavailable;
    }
    if (q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        *why = QStringLiteral("the records file cannot be shared safely (journal mode %1)").arg(q.value(0).toString());
        return Connect::Unavailable;
    }
    q.finish();
    if (!q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"))) {
        lastError = q.lastError();
        *why = lastError.text();
        return Connect::Unavailable;
    }
    q.finish();
    return bringUpToDate(why);
}

// Journal files beside a file that is not there belong to no file the game would open: a new
// file must never take them for its own.
void RecordsStore::Impl::setAsideStrays(const QString &path)
{
    if (QFileInfo::exists(path) || !hasCompanions(path))
        return;
    const QString aside = setAsideName(path, now(), false);
    if (moveSet(path, aside))
        qWarning("Journal files without their records file were set aside as %s", qPrintable(aside));
}

OpenOutcome RecordsStore::Impl::finish(OpenOutcome::Status status, const QString &why)
{
    outcome.status = status;
    outcome.reason = why;
    usable = status != OpenOutcome::Status::Unavailable;
    if (!usable)
        closeConnection();
    if (status == OpenOutcome::Status::ReadOnly || status == OpenOutcome::Status::Newer)
        qWarning("The records file %s is only read: %s", qPrintable(outcome.path), qPrintable(why));
    return outcome;
}

OpenOutcome RecordsStore::open(const QString &path, Mode mode)
{
    close();
    Impl &d = *d_;
    d.outcome = OpenOutcome();
    d.outcome.path = path;
    d.damaged = d.writeFailing = d.skipTold = false;
    d.skippedRows = 0;
    d.version = 0;
    d.fresh = d.ours = d.immutable = false;
    using S = OpenOutcome::Status;
    using Connect = Impl::Connect;
    const bool reader = mode == Mode::ReadOnly;
    const QFileInfo fi(path);
    if (!reader)
        d.setAsideStrays(path);
    if (reader && !fi.exists())
        return d.finish(S::Unavailable, QStringLiteral("there is no records file"));
    if (!reader && !QDir().mkpath(fi.absolutePath()))
        return d.finish(S::Unavailable, QStringLiteral("the folder %1 cannot be created").arg(fi.absolutePath()));

    QString why;
    const Header header = checkHeader(path, &why);
    Connect c = header == Header::Broken ? Connect::Broken : Connect::Ok;
    if (header == Header::Unreadable)
        return d.finish(S::Unavailable, why);
    if (header == Header::Sound)
        c = d.probe(path, &why); // read-only: nothing is written before the file is known ours
    if (c == Connect::Unavailable)
        return d.finish(S::Unavailable, why);
    if (c == Connect::Foreign) // never changed: a newer version's file is read where it can be
        return d.finish(d.ours ? (reader ? S::Ok : S::Newer) : S::Unavailable, why);
    if (c == Connect::Broken && reader)
        return d.finish(S::Unavailable, why);
    if (c == Connect::Ok && (reader || d.immutable)) {
        if (d.fresh || header == Header::Empty)
            return d.finish(S::Unavailable, QStringLiteral("the records file is empty"));
        return d.finish(reader ? S::Ok : S::ReadOnly, QStringLiteral("the records file or its folder cannot be written"));
    }
    if (c == Connect::Ok)
        c = d.connect(path, &why);
    if (c == Connect::Ok)
        return d.finish(S::Ok, QString());
    if (c == Connect::Broken)
        return d.setAsideAndStartAgain(why) ? d.outcome : d.finish(S::Unavailable, d.outcome.reason);
    if (c == Connect::Unavailable && header == Header::Sound && !d.fresh && cannotWrite(d.lastError)) {
        const QString cause = why;
        if (d.probe(path, &why) == Connect::Ok)
            return d.finish(S::ReadOnly, QStringLiteral("the records file cannot be written (%1)").arg(cause));
    }
    return d.finish(S::Unavailable, why);
}

} // namespace horokata
