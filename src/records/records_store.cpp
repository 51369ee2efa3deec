// Opening the player's store: recognising our file, setting an unreadable one aside,
// migrating older ones, and going without records when the file cannot be written.
#include "records/records_store_impl.h"

#include <QAtomicInt>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

namespace horokata {

namespace {

// How long a write waits for a lock held by another program before giving up.
constexpr int kBusyTimeoutMs = 250;

QAtomicInt connectionCounter;

// SQLite's primary result codes that matter here (the low byte of an extended code).
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADatabase = 26;

int sqliteCode(const QSqlError &e)
{
    bool ok = false;
    const int code = e.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

bool unreadableFile(const QSqlError &e)
{
    const int code = sqliteCode(e);
    return code == kSqliteCorrupt || code == kSqliteNotADatabase;
}

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

// A free name beside `path` carrying today's date: records.unreadable-2026-12-08.sqlite,
// then -2, -3 ... when that is taken.
QString setAsideName(const QString &path, std::int64_t nowMs)
{
    const QFileInfo fi(path);
    const QString date = QDateTime::fromMSecsSinceEpoch(nowMs).date().toString(Qt::ISODate);
    const QString stem = fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".unreadable-") + date);
    const QString suffix = fi.suffix().isEmpty() ? QString() : u'.' + fi.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo::exists(name + QStringLiteral("-wal")); ++n)
        name = stem + u'-' + QString::number(n) + suffix;
    return name;
}

const char *const kCompanions[] = {"-wal", "-shm", "-journal"};

} // namespace

QString boardEndWord(BoardEnd end)
{
    switch (end) {
    case BoardEnd::Won:
        return QStringLiteral("勝ち");
    case BoardEnd::Lost:
        return QStringLiteral("負け");
    case BoardEnd::GaveUp:
        return QStringLiteral("投了");
    case BoardEnd::AbandonedNew:
    case BoardEnd::AbandonedReplay:
    case BoardEnd::AbandonedLevel:
    case BoardEnd::SetAside:
        return QStringLiteral("放棄");
    case BoardEnd::InPlay:
        break;
    }
    return QStringLiteral("対局中");
}

QString formatPlayTime(std::optional<std::int64_t> ms)
{
    if (!ms || *ms < 0)
        return QStringLiteral("-");
    const std::int64_t seconds = *ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int LevelStats::winPercent() const
{
    return played > 0 ? int((std::int64_t(won) * 200 + played) / (2 * std::int64_t(played))) : 0;
}

// ---------------------------------------------------------------- the connection

QSqlQuery &RecordsStore::Impl::statement(const QString &sql)
{
    auto it = statements.find(sql);
    if (it == statements.end()) {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        q.prepare(sql);
        it = statements.insert(sql, q);
    }
    return it.value();
}

bool RecordsStore::Impl::run(QSqlQuery &q, std::initializer_list<QVariant> values)
{
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, v);
    if (q.exec())
        return true;
    lastError = q.lastError();
    return false;
}

bool RecordsStore::Impl::run(const QString &sql, std::initializer_list<QVariant> values)
{
    return run(statement(sql), values);
}

bool RecordsStore::Impl::setAsideAndStartAgain(const QString &why)
{
    closeConnection();
    const QString path = outcome.path;
    // Kept beside itself under a dated name, with its journal files; never overwritten.
    const QString aside = setAsideName(path, now());
    if (!QFile::rename(path, aside)) {
        outcome.reason = QStringLiteral("%1, and it cannot be set aside").arg(why);
        return false;
    }
    for (const char *companion : kCompanions) {
        const QString from = path + QLatin1String(companion);
        if (QFileInfo::exists(from) && !QFile::rename(from, aside + QLatin1String(companion))) {
            outcome.reason = QStringLiteral("%1, and its journal cannot be set aside").arg(why);
            return false;
        }
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

void RecordsStore::Impl::failedRead()
{
    if (unreadableFile(lastError))
        fail();
}

void RecordsStore::Impl::fail()
{
    if (!usable)
        return;
    // A file found damaged while in use is set aside like one found so on opening.
    if (!readOnly && unreadableFile(lastError)) {
        const QString why = QStringLiteral("the file is damaged (%1)").arg(lastError.text());
        if (setAsideAndStartAgain(why)) {
            if (onFailure)
                onFailure(QStringLiteral("The records file was damaged: it was kept as %1 and a new one started.")
                              .arg(outcome.setAsidePath));
            return;
        }
    }
    const QString why = QStringLiteral("The records could not be written: %1").arg(lastError.text());
    qWarning("%s", qPrintable(why));
    closeConnection();
    outcome.status = OpenOutcome::Status::Unavailable;
    outcome.reason = why;
    if (onFailure)
        onFailure(why);
}

void RecordsStore::Impl::closeConnection()
{
    usable = false;
    statements.clear();
    if (!connection.isEmpty()) {
        {
            QSqlDatabase d = db();
            if (d.isValid())
                d.close();
        }
        QSqlDatabase::removeDatabase(connection);
    }
}

// ---------------------------------------------------------------- opening

RecordsStore::RecordsStore() : d_(std::make_unique<Impl>())
{
    d_->connection = QStringLiteral("horokata-records-%1").arg(connectionCounter.fetchAndAddRelaxed(1));
    d_->clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

RecordsStore::~RecordsStore()
{
    close();
}

QString RecordsStore::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QString::fromUtf8(kRecordsFileName));
}

void RecordsStore::close()
{
    d_->closeConnection();
}

bool RecordsStore::available() const
{
    return d_->usable;
}

const OpenOutcome &RecordsStore::outcome() const
{
    return d_->outcome;
}

void RecordsStore::setClock(std::function<std::int64_t()> nowMs)
{
    d_->clock = std::move(nowMs);
}

void RecordsStore::setFailureHandler(std::function<void(const QString &)> handler)
{
    d_->onFailure = std::move(handler);
}

// Opens the connection and makes the file ours at the current version. Broken: the file is
// not a readable records database; Unavailable: it may be fine but cannot be used now.
RecordsStore::Impl::Connect RecordsStore::Impl::connect(const QString &path, QString *why)
{
    Impl &d = *this;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d.connection);
    db.setDatabaseName(path);
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (d.readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open()) {
        *why = db.lastError().text();
        return unreadableFile(db.lastError()) ? Connect::Broken : Connect::Unavailable;
    }
    QSqlQuery q(db);
    const auto failed = [&] {
        *why = q.lastError().text();
        return unreadableFile(q.lastError()) ? Connect::Broken : Connect::Unavailable;
    };
    if (!q.exec(QStringLiteral("SELECT (SELECT application_id FROM pragma_application_id),"
                               " (SELECT user_version FROM pragma_user_version),"
                               " (SELECT count(*) FROM sqlite_master)")) ||
        !q.next())
        return failed();
    const qint64 appId = q.value(0).toLongLong();
    const qint64 version = q.value(1).toLongLong();
    const qint64 objects = q.value(2).toLongLong();
    q.finish();
    const bool fresh = appId == 0 && version == 0 && objects == 0;
    if (fresh && d.readOnly) {
        *why = QStringLiteral("the records file is empty");
        return Connect::Unavailable;
    }
    if (!fresh) {
        if (appId != kRecordsApplicationId || version < 1) {
            *why = QStringLiteral("the file is a database of another program");
            return Connect::Broken;
        }
        if (version > kRecordsSchemaVersion) {
            *why = QStringLiteral("the file was written by a newer version of the game (version %1)").arg(version);
            return Connect::Broken;
        }
        if (!hasRecordsSchema(db, int(version))) {
            *why = QStringLiteral("the file's tables are not those of the records");
            return Connect::Broken;
        }
    }
    d.version = int(version);
    if (d.readOnly)
        return Connect::Ok;

    if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next())
        return failed();
    if (q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        *why = QStringLiteral("the records file cannot be shared safely (journal mode %1)").arg(q.value(0).toString());
        return Connect::Unavailable;
    }
    q.finish();
    if (!q.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return failed();
    // Taking the write lock proves the file and its folder are writable and not locked.
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed();
    if (version < kRecordsSchemaVersion) {
        QSqlError error;
        if (!migrateRecords(db, int(version), &error)) {
            *why = error.text();
            q.exec(QStringLiteral("ROLLBACK"));
            return Connect::Unavailable;
        }
        if (!q.exec(QStringLiteral("COMMIT"))) {
            const Connect c = failed();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return c;
        }
        d.outcome.migratedFrom = int(version);
        d.version = kRecordsSchemaVersion;
    } else if (!q.exec(QStringLiteral("ROLLBACK"))) {
        return failed();
    }
    return Connect::Ok;
}

OpenOutcome RecordsStore::open(const QString &path, Mode mode)
{
    close();
    Impl &d = *d_;
    d.outcome = OpenOutcome();
    d.outcome.path = path;
    d.readOnly = mode == Mode::ReadOnly;
    d.version = 0;
    const auto unavailable = [&](const QString &why) {
        d.closeConnection();
        d.outcome.status = OpenOutcome::Status::Unavailable;
        d.outcome.reason = why;
        return d.outcome;
    };

    const QFileInfo fi(path);
    if (d.readOnly && !fi.exists())
        return unavailable(QStringLiteral("there is no records file"));
    if (!d.readOnly && !QDir().mkpath(fi.absolutePath()))
        return unavailable(QStringLiteral("the folder %1 cannot be created").arg(fi.absolutePath()));

    QString why;
    const Header header = checkHeader(path, &why);
    if (header == Header::Unreadable)
        return unavailable(why);
    using Connect = Impl::Connect;
    Connect c = Connect::Broken;
    if (header != Header::Broken)
        c = d.connect(path, &why);
    if (c == Connect::Unavailable)
        return unavailable(why);
    if (c == Connect::Broken) {
        if (d.readOnly)
            return unavailable(why);
        if (!d.setAsideAndStartAgain(why))
            return unavailable(d.outcome.reason);
        return d.outcome;
    }
    d.outcome.status = OpenOutcome::Status::Ok;
    d.usable = true;
    return d.outcome;
}

} // namespace horokata
