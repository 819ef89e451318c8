#include "telemetry/TLMLogDBStorage.h"

#include "telemetry/TLMLogArchiver.h"
#include "telemetry/TLMLogging.h"

#include <QCoreApplication>
#include <QUuid>
#include <algorithm>
#include <sqlite3.h>

namespace qrv {

namespace {

const QString kId = QStringLiteral("id");
const QString kGroupId = QStringLiteral("groupId");
const QString kLog = QStringLiteral("log");
const QString kTargetToken = QStringLiteral("targetToken");
const QString kTargetKey = QStringLiteral("targetKey");
const QString kPriority = QStringLiteral("priority");

constexpr int kEvictionCandidatesPerRead = 16;
// The most rows a load reads at once while it meets unreadable ones.
constexpr qint64 kMostRowsPerRead = 1024;

// A batch key is the group identifier followed by a batch identifier (a UUID
// string without braces, always 36 characters), so the length tells the
// batches of "Crashes" from those of "CrashesExtra".
bool isBatchKeyOfGroup(const QString& key, const QString& groupId) {
    constexpr qsizetype kBatchIdLength = 36;
    return key.size() == groupId.size() + kBatchIdLength && key.startsWith(groupId);
}

QString placeholders(qsizetype count) {
    QStringList marks;
    marks.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
}

template <typename List> QVariantList variants(const List& list) {
    QVariantList values;
    values.reserve(list.size());
    for (const auto& value : list)
        values << QVariant::fromValue(value);
    return values;
}

QString tr(const char* text) {
    return QCoreApplication::translate("TLMLogDBStorage", text);
}

// The most log text an empty store of this many pages can take: every page
// but the schema's four (the first page, the sequence table, the table and
// its index) and auto-vacuum's pointer-map pages (one per pageSize / 5
// pages), each page holding all but the 4-byte link of an overflow page.
qint64 logCapacity(qint64 maxPages, qint64 pageSize) {
    constexpr qint64 kSchemaPages = 4;
    constexpr qint64 kOverflowLink = 4;
    if (pageSize <= kOverflowLink)
        return 0;
    const qint64 pagesPerPointerMap = std::max<qint64>(1, pageSize / 5);
    const qint64 pointerMapPages = (maxPages + pagesPerPointerMap - 1) / pagesPerPointerMap;
    return std::max<qint64>(0, (maxPages - kSchemaPages - pointerMapPages) *
                                   (pageSize - kOverflowLink));
}

} // namespace

TLMLogDBStorage::TLMLogDBStorage(const QString& filePath, TLMEncrypter encrypter)
    : TLMDBStorage(logsSchema(), kSchemaVersion, filePath)
    , m_idColumn(columnIndex(kId))
    , m_groupIdColumn(columnIndex(kGroupId))
    , m_logColumn(columnIndex(kLog))
    , m_targetTokenColumn(columnIndex(kTargetToken))
    , m_priorityColumn(columnIndex(kPriority))
    , m_encrypter(std::move(encrypter)) {
    configure();
}

TLMDBSchema TLMLogDBStorage::logsSchema() {
    return {{kTable,
             {{kId, {"INTEGER", "PRIMARY", "KEY", "AUTOINCREMENT"}},
              {kGroupId, {"TEXT", "NOT", "NULL"}},
              {kLog, {"TEXT", "NOT", "NULL"}},
              {kTargetToken, {"TEXT"}},
              {kTargetKey, {"TEXT"}},
              {kPriority, {"INTEGER"}}}}};
}

int TLMLogDBStorage::columnIndex(const QString& column) const {
    const TLMDBTableSchema& columns = schema().value(kTable);
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).name == column)
            return i;
    return -1;
}

void TLMLogDBStorage::customizeDatabase(sqlite3* db) {
    executeNonSelectionQuery(QStringLiteral("CREATE INDEX \"ix_%1_%2\" ON \"%3\" (\"%4\")")
                                 .arg(kTable, kPriority, kTable, kPriority),
                             db);
}

void TLMLogDBStorage::migrateDatabase(sqlite3* db, qint64) {
    // Older stored forms are not worth converting: the logs are dropped.
    executeNonSelectionQuery(QStringLiteral("DROP TABLE \"%1\";").arg(kTable), db);
    createTablesWithSchema(db);
    customizeDatabase(db);
}

bool TLMLogDBStorage::saveLog(const TLMLogPtr& log, const QString& groupId, quint32 flags,
                              int* result, QString* problem) {
    int code = SQLITE_ERROR;
    QString reason;
    const auto answer = [&] {
        if (result)
            *result = code;
        if (problem)
            *problem = code == SQLITE_OK  ? QString()
                       : reason.isEmpty() ? resultDescription(code)
                                          : reason;
        return code == SQLITE_OK;
    };
    if (!log) {
        reason = tr("there is no log");
        return answer();
    }

    const QString encoded = TLMLogArchiver::encode(*log);
    const int priority = int(flags & TLMFlagsPersistenceMask);
    QString query;
    QVariantList values;
    if (log->transmissionTargetTokens.isEmpty()) {
        query = QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"%3\", \"%4\") VALUES (?, ?, ?)")
                    .arg(kTable, kGroupId, kLog, kPriority);
        values = {groupId, encoded, priority};
    } else {
        // Any one token will do; the smallest keeps the choice repeatable.
        const QString token = *std::min_element(log->transmissionTargetTokens.cbegin(),
                                                log->transmissionTargetTokens.cend());
        const QString encryptedToken = m_encrypter.encryptString(token);
        if (encryptedToken.isNull()) {
            qCWarning(lcTelemetryStorage) << "The log's target token could not be encrypted; the "
                                             "log is not stored.";
            reason = tr("the log's target token could not be encrypted");
            return answer();
        }
        query = QStringLiteral("INSERT INTO \"%1\" (\"%2\", \"%3\", \"%4\", \"%5\", \"%6\") VALUES "
                               "(?, ?, ?, ?, ?)")
                    .arg(kTable, kGroupId, kLog, kTargetToken, kTargetKey, kPriority);
        values = {groupId, encoded, encryptedToken, TLMAbstractLog::targetKeyFromToken(token),
                  priority};
    }

    code = executeQueryUsingBlock([&](sqlite3* db) {
        int status = SQLITE_OK;
        const qint64 maxPages = getMaxPageCountInOpenedDatabase(db, &status);
        if (status != SQLITE_OK)
            return status;
        // Checked before anything is evicted: a log that would not fit even
        // into an empty store must not cost the stored ones their place.
        const qint64 capacity = logCapacity(maxPages, pageSize());
        if (encoded.size() > capacity) {
            qCWarning(
                lcTelemetryStorage,
                "Log is too large (%lld bytes) to store in database. Current maximum database "
                "size is %lld bytes.",
                qint64(encoded.size()), maxPages * pageSize());
            reason = tr("the log (%1 bytes) is larger than the store can ever hold (%2 bytes)")
                         .arg(encoded.size())
                         .arg(capacity);
            return SQLITE_ERROR;
        }
        const int inserted = insertWithEviction(db, query, values, priority);
        if (inserted == SQLITE_FULL)
            reason = tr("the store is full and holds no log of this priority or lower to make "
                        "room");
        return inserted;
    });
    return answer();
}

int TLMLogDBStorage::insertWithEviction(sqlite3* db, const QString& query,
                                        const QVariantList& values, int priority) {
    int result = executeNonSelectionQuery(query, db, values);
    if (result != SQLITE_FULL)
        return result;

    // Candidates come a few at a time: one save rarely needs more than one or
    // two, and a full store holds thousands. Deleted rows drop out of the next
    // read, so reading again continues where the last read ended.
    const QString selection =
        QStringLiteral("SELECT \"%1\" FROM \"%2\" WHERE \"%3\" <= ? ORDER BY \"%4\" ASC, "
                       "\"%5\" ASC LIMIT %6")
            .arg(kId, kTable, kPriority, kPriority, kId)
            .arg(kEvictionCandidatesPerRead);
    const QString deletion = QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" = ?").arg(kTable, kId);
    qsizetype deleted = 0;
    bool candidatesLeft = true;
    bool deletionFailed = false;
    while (result == SQLITE_FULL && !deletionFailed) {
        const QList<TLMDBRow> candidates = executeSelectionQuery(selection, db, {priority});
        if (candidates.isEmpty()) {
            candidatesLeft = false;
            break;
        }
        for (const TLMDBRow& candidate : candidates) {
            if (executeNonSelectionQuery(deletion, db, {candidate.value(0)}) != SQLITE_OK) {
                deletionFailed = true;
                break;
            }
            ++deleted;
            result = executeNonSelectionQuery(query, db, values);
            if (result != SQLITE_FULL)
                break;
        }
    }
    if (result == SQLITE_FULL && !candidatesLeft)
        qCWarning(lcTelemetryStorage, "Storage is full and no logs with equal or lower priority "
                                      "exist; discarding the log.");
    else if (result == SQLITE_OK && deleted > 0)
        qCInfo(lcTelemetryStorage,
               "Log storage was over capacity, %lld oldest log(s) with equal or lower priority "
               "deleted.",
               qint64(deleted));
    return result;
}

QList<qint64> TLMLogDBStorage::idsInBatchesOfGroup(const QString& groupId) const {
    QList<qint64> ids;
    for (auto it = m_batches.cbegin(); it != m_batches.cend(); ++it)
        if (isBatchKeyOfGroup(it.key(), groupId))
            ids += it.value();
    return ids;
}

bool TLMLogDBStorage::loadLogsWithGroupId(const QString& groupId, int limit,
                                          const QSet<QString>& excludedTargetKeys,
                                          const LoadHandler& completionHandler) {
    limit = std::max(limit, 0);
    const QList<qint64> handedOut = idsInBatchesOfGroup(groupId);
    QList<TLMLogPtr> logs;
    QList<qint64> ids;
    bool moreAvailable = false;
    executeQueryUsingBlock([&](sqlite3* db) {
        // Unreadable rows are deleted as they are met and reading goes on
        // past them, in reads that grow while they keep meeting such rows: a
        // store full of them still yields its readable logs in one load, at
        // the cost of a few statements. Rows that could not be deleted are
        // left out instead, so every read makes progress.
        QList<qint64> skipped;
        qint64 readSize = qint64(limit) + 1;
        int result = SQLITE_OK;
        for (;;) {
            const QList<qint64> leftOut = handedOut + ids + skipped;
            QVariantList values{groupId};
            QString condition = QStringLiteral("\"%1\" = ?").arg(kGroupId);
            if (!excludedTargetKeys.isEmpty()) {
                // Logs without a target are never held back by a paused target.
                condition += QStringLiteral(" AND (\"%1\" IS NULL OR \"%1\" NOT IN %2)")
                                 .arg(kTargetKey, placeholders(excludedTargetKeys.size()));
                values += variants(excludedTargetKeys);
            }
            if (!leftOut.isEmpty()) {
                condition +=
                    QStringLiteral(" AND \"%1\" NOT IN %2").arg(kId, placeholders(leftOut.size()));
                values += variants(leftOut);
            }
            condition += QStringLiteral(" ORDER BY \"%1\" DESC, \"%2\" ASC").arg(kPriority, kId);
            condition += QStringLiteral(" LIMIT %1").arg(readSize);
            const QList<TLMDBRow> rows = executeSelectionQuery(
                QStringLiteral("SELECT * FROM \"%1\" WHERE %2").arg(kTable, condition), db, values,
                &result);
            QVariantList unreadable;
            for (const TLMDBRow& row : rows) {
                const qint64 id = row.value(m_idColumn).toLongLong();
                TLMLogPtr log = logFromRow(row);
                if (!log) {
                    qCWarning(lcTelemetryStorage, "Deserialization failed for log with Id %lld",
                              id);
                    unreadable << id;
                    continue;
                }
                if (logs.size() == limit) {
                    moreAvailable = true;
                    break;
                }
                logs << log;
                ids << id;
            }
            if (!unreadable.isEmpty() && deleteLogs(db, kId, unreadable) != SQLITE_OK)
                for (const QVariant& id : std::as_const(unreadable))
                    skipped << id.toLongLong();
            if (moreAvailable || rows.size() < readSize || result != SQLITE_OK)
                break;
            if (!unreadable.isEmpty())
                readSize = std::min(readSize * 2, kMostRowsPerRead);
        }
        return result;
    });

    QString batchId;
    if (!logs.isEmpty()) {
        batchId = QUuid::createUuid().toString(QUuid::WithoutBraces);
        m_batches.insert(groupId + batchId, ids);
    }
    if (completionHandler)
        completionHandler(logs, batchId);
    return moreAvailable;
}

TLMLogPtr TLMLogDBStorage::logFromRow(const TLMDBRow& row) {
    TLMLogPtr log = TLMLogArchiver::decode(row.value(m_logColumn).toString());
    if (!log)
        return nullptr;
    const QVariant encryptedToken = row.value(m_targetTokenColumn);
    if (encryptedToken.isValid()) {
        // Without its token the log could not reach its target: unreadable too.
        const QString token = m_encrypter.decryptString(encryptedToken.toString());
        if (token.isNull())
            return nullptr;
        log->transmissionTargetTokens = {token};
    }
    return log;
}

void TLMLogDBStorage::deleteLogsWithBatchId(const QString& batchId, const QString& groupId) {
    const QString key = groupId + batchId;
    const QList<qint64> ids = m_batches.value(key);
    if (ids.isEmpty())
        return;
    // While its rows remain, the batch stays handed out: forgetting it would
    // send the same logs again.
    if (const int result = deleteLogs(kId, variants(ids)); result != SQLITE_OK) {
        qCWarning(lcTelemetryStorage,
                  "Could not delete the logs of batch %s (SQLite error %d); they are kept out of "
                  "later batches.",
                  qPrintable(batchId), result);
        return;
    }
    m_batches.remove(key);
}

QList<TLMLogPtr> TLMLogDBStorage::deleteLogsWithGroupId(const QString& groupId) {
    QList<TLMLogPtr> logs;
    const int deleted = executeQueryUsingBlock([&](sqlite3* db) {
        int result = SQLITE_OK;
        const QList<TLMDBRow> rows = executeSelectionQuery(
            QStringLiteral("SELECT * FROM \"%1\" WHERE \"%2\" = ?").arg(kTable, kGroupId), db,
            {groupId}, &result);
        for (const TLMDBRow& row : rows)
            if (TLMLogPtr log = logFromRow(row))
                logs << log;
        return result == SQLITE_OK ? deleteLogs(db, kGroupId, {groupId}) : result;
    });
    if (deleted != SQLITE_OK) {
        // The rows stay, and so do their batches: nothing is sent twice.
        qCWarning(lcTelemetryStorage, "Could not delete the logs of group %s (SQLite error %d).",
                  qPrintable(groupId), deleted);
        return {};
    }
    for (auto it = m_batches.begin(); it != m_batches.end();) {
        if (isBatchKeyOfGroup(it.key(), groupId))
            it = m_batches.erase(it);
        else
            ++it;
    }
    return logs;
}

int TLMLogDBStorage::deleteLogs(const QString& column, const QVariantList& values) {
    return executeQueryUsingBlock([&](sqlite3* db) { return deleteLogs(db, column, values); });
}

int TLMLogDBStorage::deleteLogs(sqlite3* db, const QString& column, const QVariantList& values) {
    // Values are bound, never pasted into the statement: a group identifier
    // may hold quotes.
    QStringList texts;
    for (const QVariant& value : values)
        texts << value.toString();
    qCDebug(lcTelemetryStorage, "Deletion of log(s) by %s with value(s) '%s'", qPrintable(column),
            qPrintable(texts.join(QStringLiteral("','"))));
    return executeNonSelectionQuery(QStringLiteral("DELETE FROM \"%1\" WHERE \"%2\" IN %3")
                                        .arg(kTable, column, placeholders(values.size())),
                                    db, values);
}

qint64 TLMLogDBStorage::countLogs() {
    return countEntriesForTable(kTable);
}

QStringList TLMLogDBStorage::groupIds() {
    QStringList groups;
    executeQueryUsingBlock([&](sqlite3* db) {
        int result = SQLITE_OK;
        const QList<TLMDBRow> rows = executeSelectionQuery(
            QStringLiteral("SELECT \"%1\" FROM \"%2\" GROUP BY \"%1\" ORDER BY MIN(\"%3\")")
                .arg(kGroupId, kTable, kId),
            db, {}, &result);
        for (const TLMDBRow& row : rows)
            groups << row.value(0).toString();
        return result;
    });
    return groups;
}

qint64 TLMLogDBStorage::deleteAllLogs() {
    qint64 deleted = 0;
    executeQueryUsingBlock([&](sqlite3* db) {
        const int result =
            executeNonSelectionQuery(QStringLiteral("DELETE FROM \"%1\"").arg(kTable), db);
        if (result == SQLITE_OK)
            deleted = sqlite3_changes(db);
        return result;
    });
    m_batches.clear();
    return deleted;
}

} // namespace qrv
