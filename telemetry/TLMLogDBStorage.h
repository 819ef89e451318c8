#pragma once

#include "telemetry/TLMAbstractLog.h"
#include "telemetry/TLMDBStorage.h"
#include "telemetry/TLMEncrypter.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <functional>

namespace qrv {

// A stored log as the diagnostics tool shows it.
struct TLMLogSummary {
    qint64 id = 0;
    QString groupId;
    int priority = 0;
    qint64 encodedSize = 0;
    QString type; // empty when the row cannot be read
};

// The telemetry logs waiting to be sent: the table "logs" of "Logs.sqlite".
// Logs are saved with eviction by priority when the size limit is reached,
// handed out in batches (a log in a batch is not handed out again while this
// object lives) and deleted once their batch is done.
//
// Not thread-safe: callers use the library's one serial queue.
class TLMLogDBStorage : public TLMDBStorage {
  public:
    static constexpr qint64 kSchemaVersion = 5;
    static inline const QString kFileName = QStringLiteral("Logs.sqlite");
    static inline const QString kTable = QStringLiteral("logs");

    // The database at the given path ("Logs.sqlite" in the data folder for
    // the program); the encrypter keeps the target tokens secret.
    TLMLogDBStorage(const QString& filePath, TLMEncrypter encrypter);

    using LoadHandler = std::function<void(const QList<TLMLogPtr>& logs, const QString& batchId)>;

    // True when the log was stored; `result` receives the final SQLite code
    // and `problem`, when it was not stored, why (a sentence for people). A
    // log larger than the store can ever hold is refused before anything is
    // evicted.
    bool saveLog(const TLMLogPtr& log, const QString& groupId, quint32 flags, int* result = nullptr,
                 QString* problem = nullptr);
    // Hands out at most `limit` logs of the group, most important and oldest
    // first, leaving out logs of the given target keys and logs already in a
    // batch. Answers whether more logs were waiting than the limit allowed.
    bool loadLogsWithGroupId(const QString& groupId, int limit,
                             const QSet<QString>& excludedTargetKeys,
                             const LoadHandler& completionHandler);
    void deleteLogsWithBatchId(const QString& batchId, const QString& groupId);
    // Deletes the group's logs and forgets its batches; answers the logs that
    // were stored.
    QList<TLMLogPtr> deleteLogsWithGroupId(const QString& groupId);
    qint64 countLogs();

    // The groups that have logs stored, in the order of their first log.
    QStringList groupIds();
    // Deletes every log of every group; answers how many rows went.
    qint64 deleteAllLogs();

    // The table "logs" and its columns, in order.
    static TLMDBSchema logsSchema();

  protected:
    void customizeDatabase(sqlite3* db) override;
    void migrateDatabase(sqlite3* db, qint64 fromVersion) override;

  private:
    int columnIndex(const QString& column) const;
    QList<qint64> idsInBatchesOfGroup(const QString& groupId) const;
    int insertWithEviction(sqlite3* db, const QString& query, const QVariantList& values,
                           int priority);
    TLMLogPtr logFromRow(const TLMDBRow& row);
    int deleteLogs(sqlite3* db, const QString& column, const QVariantList& values);
    int deleteLogs(const QString& column, const QVariantList& values);

    int m_idColumn;
    int m_groupIdColumn;
    int m_logColumn;
    int m_targetTokenColumn;
    int m_priorityColumn;
    QHash<QString, QList<qint64>> m_batches; // group id + batch id -> storage ids
    TLMEncrypter m_encrypter;
};

} // namespace qrv
