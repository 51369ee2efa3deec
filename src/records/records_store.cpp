// The player's store: its connection, the statements it keeps, and what it does when a read
// or a write fails.
#include "records/records_store_impl.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace horokata {

namespace {

QAtomicInt connectionCounter;

} // namespace

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
    const QString mmss = QStringLiteral("%1:%2").arg(seconds % 3600 / 60, seconds >= 3600 ? 2 : 1, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return seconds >= 3600 ? QStringLiteral("%1:").arg(seconds / 3600) + mmss : mmss;
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

bool RecordsStore::Impl::run(QSqlQuery &q, const QVariantList &values)
{
    int i = 0;
    for (const QVariant &v : values)
        q.bindValue(i++, v);
    if (q.exec())
        return true;
    lastError = q.lastError();
    return false;
}

bool RecordsStore::Impl::run(const QString &sql, const QVariantList &values)
{
    return run(statement(sql), values);
}

void RecordsStore::Impl::failedRead()
{
    if (unreadableFile(lastError))
        fail();
}

void RecordsStore::Impl::tell(StoreNotice notice, const QString &details)
{
    lastNotice = details;
    qWarning("%s", qPrintable(details));
    if (onFailure)
        onFailure(notice, details);
}

void RecordsStore::Impl::fail()
{
    if (!usable || damaged)
        return;
    if (unreadableFile(lastError)) {
        // Kept where it is: what still reads is shown, and nothing more is written to it.
        damaged = true;
        writeFailing = false;
        QSqlDatabase d = db();
        tell(StoreNotice::Damaged, QStringLiteral("The records file %1 is damaged (%2; SQLite's check: %3). It is kept as "
                                                  "it is and nothing more is written to it this run.")
                                       .arg(outcome.path, lastError.text(), quickCheck(d)));
        return;
    }
    if (writeFailing)
        return;
    writeFailing = true;
    tell(StoreNotice::WriteFailed, QStringLiteral("The records could not be written (%1). The game keeps the board and "
                                                  "tries again at its next rest.")
                                       .arg(lastError.text()));
}

bool RecordsStore::Impl::fileThere()
{
    if (QFileInfo::exists(outcome.path))
        return true;
    lastError = QSqlError(QString(), QStringLiteral("the file %1 is no longer there").arg(outcome.path),
                          QSqlError::ConnectionError);
    return false;
}

void RecordsStore::Impl::skipped(int rows, const char *what)
{
    if (rows <= 0)
        return;
    skippedRows += rows;
    if (skipTold)
        return;
    skipTold = true;
    tell(StoreNotice::RowsSkipped, QStringLiteral("%1 rows of %2 in %3 hold values the game never writes: they are left "
                                                  "out.").arg(rows).arg(QLatin1String(what), outcome.path));
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

bool RecordsStore::writable() const
{
    return d_->usable && !d_->readOnly && !d_->damaged;
}

bool RecordsStore::writeFailing() const
{
    return d_->usable && d_->writeFailing && !d_->damaged;
}

QString RecordsStore::lastNotice() const
{
    return d_->lastNotice;
}

int RecordsStore::skippedRows() const
{
    return d_->skippedRows;
}

const OpenOutcome &RecordsStore::outcome() const
{
    return d_->outcome;
}

void RecordsStore::setClock(std::function<std::int64_t()> nowMs)
{
    d_->clock = std::move(nowMs);
}

void RecordsStore::setFailureHandler(std::function<void(StoreNotice, const QString &)> handler)
{
    d_->onFailure = std::move(handler);
}

} // namespace horokata
