#include "telemetry/TLMDBStorage.h"

#include "telemetry/TLMLogging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <mutex>
#include <sqlite3.h>

namespace qrv {

namespace {

// Another process (the diagnostics tool) may hold the file for a moment; a log
// is worth a short wait rather than a failed save.
constexpr int kBusyTimeoutMs = 2000;

void enableUriFileNamesOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Refused once SQLite is initialised; the open flags ask for URIs anyway.
        if (sqlite3_config(SQLITE_CONFIG_URI, 1) != SQLITE_OK)
            qCDebug(lcTelemetryStorage) << "SQLite was initialised before URI names were enabled.";
    });
}

bool isUnusableFile(int result) {
    return result == SQLITE_CORRUPT || result == SQLITE_NOTADB;
}

int bindValues(sqlite3_stmt* statement, const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& value = values.at(i);
        int result;
        switch (value.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            result = sqlite3_bind_null(statement, i + 1);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            result = sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            result = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
        }
        }
        if (result != SQLITE_OK)
            return result;
    }
    return SQLITE_OK;
}

QVariant columnValue(sqlite3_stmt* statement, int column) {
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
            sqlite3_column_bytes(statement, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    default:
        return {};
    }
}

void logZeroPageSize() {
    qCWarning(
        lcTelemetryStorage,
        "The database was not configured correctly. The page size is expected to be non zero.");
}

QString createTableStatement(const QString& table, const TLMDBTableSchema& columns) {
    QStringList definitions;
    for (const TLMDBColumn& column : columns)
        definitions << QStringLiteral("\"%1\" %2")
                           .arg(column.name, column.declaration.join(QLatin1Char(' ')));
    return QStringLiteral("CREATE TABLE \"%1\" (%2);")
        .arg(table, definitions.join(QStringLiteral(", ")));
}

void logFailure(const QString& query, int result, sqlite3* db) {
    // A full database is the everyday path of eviction, not a fault.
    if ((result & 0xff) == SQLITE_FULL) {
        qCDebug(lcTelemetryStorage, "Query \"%s\" failed: the database is full.",
                qPrintable(query));
        return;
    }
    qCWarning(lcTelemetryStorage, "Query \"%s\" failed with SQLite error %d: %s", qPrintable(query),
              result, sqlite3_errmsg(db));
}

// Prepares, binds and steps through a statement; each row goes to the visitor.
int runStatement(const QString& query, sqlite3* db, const QVariantList& values,
                 const std::function<void(sqlite3_stmt*)>& onRow) {
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = query.toUtf8();
    int result = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr);
    if (result == SQLITE_OK)
        result = bindValues(statement, values);
    if (result == SQLITE_OK) {
        while ((result = sqlite3_step(statement)) == SQLITE_ROW)
            if (onRow)
                onRow(statement);
        if (result == SQLITE_DONE)
            result = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    // Extended codes (e.g. SQLITE_IOERR_SHORT_READ) are folded into their family.
    result &= 0xff;
    if (result != SQLITE_OK)
        logFailure(query, result, db);
    return result;
}

qint64 readInteger(const QString& query, sqlite3* db, int* result) {
    const QList<TLMDBRow> rows = TLMDBStorage::executeSelectionQuery(query, db, {}, result);
    return rows.isEmpty() || rows.first().isEmpty() ? 0 : rows.first().first().toLongLong();
}

} // namespace

TLMDBStorage::TLMDBStorage(TLMDBSchema schema, qint64 version, QString filePath)
    : m_schema(std::move(schema))
    , m_version(version)
    , m_dbFilePath(QFileInfo(filePath).absoluteFilePath()) {}

TLMDBStorage::~TLMDBStorage() = default;

void TLMDBStorage::configure() {
    int result = configureDatabase();
    if (isUnusableFile(result)) {
        qCWarning(lcTelemetryStorage)
            << "The database" << m_dbFilePath << "is damaged or not a database; it is replaced.";
        dropDatabase();
        result = configureDatabase();
    }
    if (result != SQLITE_OK)
        qCWarning(lcTelemetryStorage, "Failed to initialize database.");
    m_configurationResult = result;
}

int TLMDBStorage::configureDatabase() {
    enableUriFileNamesOnce();
    const bool existed = QFileInfo::exists(m_dbFilePath);
    if (!existed) {
        QDir().mkpath(QFileInfo(m_dbFilePath).absolutePath());
        QFile file(m_dbFilePath);
        if (!file.open(QIODevice::WriteOnly))
            qCWarning(lcTelemetryStorage)
                << "Could not create" << m_dbFilePath << file.errorString();
    }
    m_maxSizeInBytes = kDefaultMaxSizeInBytes;

    int result = SQLITE_OK;
    sqlite3* db = openDatabaseAtFileURL(dbFileURL(), &result);
    if (!db) {
        qCWarning(lcTelemetryStorage, "Failed to open database with result: %d.", result);
        return result;
    }
    const auto closeWith = [db](int code) {
        closeDatabase(db);
        return code;
    };
    m_pageSize = getPageSizeInOpenedDatabase(db, &result);
    if (result != SQLITE_OK)
        return closeWith(result);
    if (m_pageSize == 0) {
        logZeroPageSize();
        return closeWith(SQLITE_ERROR);
    }
    // A file that is not a database shows here first: its header is read now.
    const qint64 version = versionInOpenedDatabase(db, &result);
    if (result != SQLITE_OK)
        return closeWith(result);
    result = createTablesWithSchema(db);
    if (result != SQLITE_OK) {
        qCWarning(lcTelemetryStorage, "Failed to create tables with schema with error \"%d\".",
                  result);
        return closeWith(result);
    }
    if (existed && version < m_version) {
        qCInfo(lcTelemetryStorage, "Migrating \"%s\" database from version %lld to %lld.",
               qPrintable(m_dbFilePath), version, m_version);
        migrateDatabase(db, version);
    } else if (!existed) {
        qCInfo(lcTelemetryStorage, "Created \"%s\" database with %lld version.",
               qPrintable(m_dbFilePath), m_version);
        customizeDatabase(db);
    }
    result = enableAutoVacuumInOpenedDatabase(db);
    if (isUnusableFile(result))
        return closeWith(result);
    return closeWith(setVersion(m_version, db));
}

int TLMDBStorage::createTablesWithSchema(sqlite3* db) {
    QStringList statements;
    for (auto it = m_schema.cbegin(); it != m_schema.cend(); ++it) {
        int result = SQLITE_OK;
        const bool exists = tableExists(it.key(), db, &result);
        if (result != SQLITE_OK)
            return result;
        if (!exists)
            statements << createTableStatement(it.key(), it.value());
    }
    for (const QString& statement : statements)
        if (const int result = executeNonSelectionQuery(statement, db); result != SQLITE_OK)
            return result;
    return SQLITE_OK;
}

void TLMDBStorage::customizeDatabase(sqlite3*) {}

void TLMDBStorage::migrateDatabase(sqlite3*, qint64) {}

int TLMDBStorage::executeQueryUsingBlock(const std::function<int(sqlite3*)>& work) {
    int result = SQLITE_OK;
    sqlite3* db = openDatabaseAtFileURL(dbFileURL(), &result);
    if (!db) {
        qCWarning(lcTelemetryStorage, "Failed to open database with result: %d.", result);
        return result;
    }
    if (m_pageSize == 0) {
        logZeroPageSize();
        closeDatabase(db);
        return SQLITE_ERROR;
    }
    result = setMaxPageCount(m_maxSizeInBytes / m_pageSize, db);
    if (isUnusableFile(result)) {
        closeDatabase(db);
        return result;
    }
    if (result != SQLITE_OK)
        qCWarning(lcTelemetryStorage,
                  "Failed to open database with specified maximum size constraint.");
    result = work(db);
    closeDatabase(db);
    return result;
}

qint64 TLMDBStorage::countEntriesForTable(const QString& table, const QString& condition,
                                          const QVariantList& values) {
    QString query = QStringLiteral("SELECT COUNT(*) FROM \"%1\" ").arg(table);
    if (!condition.isEmpty())
        query += QStringLiteral("WHERE %1").arg(condition);
    qint64 count = 0;
    executeQueryUsingBlock([&](sqlite3* db) {
        int result = SQLITE_OK;
        const QList<TLMDBRow> rows = executeSelectionQuery(query, db, values, &result);
        if (!rows.isEmpty() && !rows.first().isEmpty())
            count = rows.first().first().toLongLong();
        return result;
    });
    return count;
}

bool TLMDBStorage::dropDatabase() {
    if (!QFile::remove(m_dbFilePath)) {
        qCWarning(lcTelemetryStorage, "Failed to delete database.");
        return false;
    }
    // A journal left beside the old file would be played back into the new one.
    QFile::remove(m_dbFilePath + QStringLiteral("-journal"));
    qCInfo(lcTelemetryStorage, "Database %s has been deleted.", qPrintable(m_dbFilePath));
    return true;
}

int TLMDBStorage::dropTable(const QString& table) {
    return executeQueryUsingBlock([&](sqlite3* db) {
        return executeNonSelectionQuery(QStringLiteral("DROP TABLE \"%1\";").arg(table), db);
    });
}

int TLMDBStorage::createTable(const QString& table, const TLMDBTableSchema& columns) {
    return executeQueryUsingBlock([&](sqlite3* db) {
        return executeNonSelectionQuery(createTableStatement(table, columns), db);
    });
}

void TLMDBStorage::setMaxStorageSize(qint64 sizeInBytes, const std::function<void(bool)>& handler) {
    bool changed = false;
    executeQueryUsingBlock([&](sqlite3* db) {
        int result = SQLITE_OK;
        const qint64 pageCount = getPageCountInOpenedDatabase(db, &result);
        if (result != SQLITE_OK)
            return result;
        const qint64 requestedPages = (sizeInBytes + m_pageSize - 1) / m_pageSize;
        if (pageCount > requestedPages) {
            qCWarning(lcTelemetryStorage,
                      "Cannot change database size to %lld bytes as it would cause a loss of data. "
                      "Maximum database size will not be changed.",
                      sizeInBytes);
            return SQLITE_OK;
        }
        result = setMaxPageCount(requestedPages, db);
        if (result != SQLITE_OK) {
            qCWarning(lcTelemetryStorage,
                      "Could not change maximum database size to %lld bytes. SQLite error code: %i",
                      sizeInBytes, result);
            return result;
        }
        const qint64 maxPageCount = getMaxPageCountInOpenedDatabase(db, &result);
        if (result == SQLITE_OK && maxPageCount == requestedPages) {
            m_maxSizeInBytes = requestedPages * m_pageSize;
            if (m_maxSizeInBytes != sizeInBytes)
                qCInfo(lcTelemetryStorage,
                       "Changed maximum database size to %lld bytes (next multiple of 4KiB).",
                       m_maxSizeInBytes);
            else
                qCInfo(lcTelemetryStorage, "Changed maximum database size to %lld bytes.",
                       m_maxSizeInBytes);
            changed = true;
        } else {
            qCWarning(lcTelemetryStorage,
                      "Could not change maximum database size to %lld bytes, current maximum size "
                      "is %lld bytes.",
                      sizeInBytes, m_maxSizeInBytes);
        }
        return result;
    });
    if (handler)
        handler(changed);
}

int TLMDBStorage::executeNonSelectionQuery(const QString& query, sqlite3* db,
                                           const QVariantList& values) {
    return runStatement(query, db, values, {});
}

QList<TLMDBRow> TLMDBStorage::executeSelectionQuery(const QString& query, sqlite3* db,
                                                    const QVariantList& values, int* result) {
    QList<TLMDBRow> rows;
    const int code = runStatement(query, db, values, [&rows](sqlite3_stmt* statement) {
        TLMDBRow row;
        const int count = sqlite3_column_count(statement);
        row.reserve(count);
        for (int column = 0; column < count; ++column)
            row << columnValue(statement, column);
        rows << row;
    });
    if (result)
        *result = code;
    return code == SQLITE_OK ? rows : QList<TLMDBRow>();
}

bool TLMDBStorage::tableExists(const QString& table, sqlite3* db, int* result) {
    const QList<TLMDBRow> rows = executeSelectionQuery(
        QStringLiteral(
            "SELECT COUNT(*) FROM \"sqlite_master\" WHERE \"type\"='table' AND \"name\"=?;"),
        db, {table}, result);
    return !rows.isEmpty() && !rows.first().isEmpty() && rows.first().first().toLongLong() > 0;
}

qint64 TLMDBStorage::versionInOpenedDatabase(sqlite3* db, int* result) {
    return readInteger(QStringLiteral("PRAGMA user_version"), db, result);
}

int TLMDBStorage::setVersion(qint64 version, sqlite3* db) {
    return executeNonSelectionQuery(QStringLiteral("PRAGMA user_version = %1").arg(version), db);
}

int TLMDBStorage::enableAutoVacuumInOpenedDatabase(sqlite3* db) {
    int result = SQLITE_OK;
    const qint64 mode = readInteger(QStringLiteral("PRAGMA auto_vacuum"), db, &result);
    if (result != SQLITE_OK || mode == 1)
        return result;
    // The mode of an existing file only changes when it is rebuilt.
    result = executeNonSelectionQuery(QStringLiteral("PRAGMA auto_vacuum = FULL;"), db);
    if (result == SQLITE_OK)
        result = executeNonSelectionQuery(QStringLiteral("VACUUM;"), db);
    return result;
}

qint64 TLMDBStorage::getPageSizeInOpenedDatabase(sqlite3* db, int* result) {
    return readInteger(QStringLiteral("PRAGMA page_size;"), db, result);
}

qint64 TLMDBStorage::getPageCountInOpenedDatabase(sqlite3* db, int* result) {
    return readInteger(QStringLiteral("PRAGMA page_count;"), db, result);
}

qint64 TLMDBStorage::getMaxPageCountInOpenedDatabase(sqlite3* db, int* result) {
    return readInteger(QStringLiteral("PRAGMA max_page_count;"), db, result);
}

int TLMDBStorage::setMaxPageCount(qint64 pageCount, sqlite3* db) {
    return executeNonSelectionQuery(QStringLiteral("PRAGMA max_page_count = %1").arg(pageCount),
                                    db);
}

sqlite3* TLMDBStorage::openDatabaseAtFileURL(const QUrl& fileURL, int* result) {
    enableUriFileNamesOnce();
    int ignored = SQLITE_OK;
    if (!result)
        result = &ignored;
    sqlite3* db = nullptr;
    const QByteArray uri = fileURL.toString(QUrl::FullyEncoded).toUtf8();
    *result =
        sqlite3_open_v2(uri.constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
    if (*result != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

sqlite3* TLMDBStorage::openReadOnly(const QString& filePath, int* result) {
    int ignored = SQLITE_OK;
    if (!result)
        result = &ignored;
    sqlite3* db = nullptr;
    *result = sqlite3_open_v2(QFile::encodeName(filePath).constData(), &db, SQLITE_OPEN_READONLY,
                              nullptr);
    if (*result != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return db;
}

void TLMDBStorage::closeDatabase(sqlite3* db) {
    sqlite3_close(db);
}

QString TLMDBStorage::resultDescription(int result) {
    return QString::fromUtf8(sqlite3_errstr(result));
}

} // namespace qrv
