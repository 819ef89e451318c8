#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <functional>

struct sqlite3;

namespace qrv {

// One column of a table: its name and the words of its declaration
// (e.g. {"INTEGER", "PRIMARY", "KEY"}).
struct TLMDBColumn {
    QString name;
    QStringList declaration;
};
using TLMDBTableSchema = QList<TLMDBColumn>;         // columns in table order
using TLMDBSchema = QMap<QString, TLMDBTableSchema>; // table name -> columns

using TLMDBRow = QVariantList;

// A size-limited SQLite database file with a versioned schema. The database
// is opened for every operation and closed after it, so nothing but the file
// lives between calls. Not thread-safe: callers use one serial queue.
//
// Bound values: a null QVariant binds NULL, integers bind as integers,
// everything else binds as text. Result codes are SQLite's.
class TLMDBStorage {
  public:
    static constexpr qint64 kDefaultMaxSizeInBytes = 10 * 1024 * 1024;

    virtual ~TLMDBStorage();
    TLMDBStorage(const TLMDBStorage&) = delete;
    TLMDBStorage& operator=(const TLMDBStorage&) = delete;

    const TLMDBSchema& schema() const { return m_schema; }
    QUrl dbFileURL() const { return QUrl::fromLocalFile(m_dbFilePath); }
    const QString& dbFilePath() const { return m_dbFilePath; }
    qint64 pageSize() const { return m_pageSize; }
    qint64 maxSizeInBytes() const { return m_maxSizeInBytes; }
    // SQLITE_OK when the database was configured; otherwise the code that
    // stopped it (every operation then fails too).
    int configurationResult() const { return m_configurationResult; }

    // Opens the database, limits its size, runs the work and closes it again.
    // Answers the work's result, or the code that kept the database from use.
    int executeQueryUsingBlock(const std::function<int(sqlite3*)>& work);

    qint64 countEntriesForTable(const QString& table, const QString& condition = {},
                                const QVariantList& values = {});
    bool dropDatabase();
    int dropTable(const QString& table);
    int createTable(const QString& table, const TLMDBTableSchema& columns);

    // Changes the size limit unless the stored data is already larger; the
    // handler hears whether the limit changed.
    void setMaxStorageSize(qint64 sizeInBytes, const std::function<void(bool)>& handler = {});

    // Work on an open database.
    static int executeNonSelectionQuery(const QString& query, sqlite3* db,
                                        const QVariantList& values = {});
    static QList<TLMDBRow> executeSelectionQuery(const QString& query, sqlite3* db,
                                                 const QVariantList& values = {},
                                                 int* result = nullptr);
    static bool tableExists(const QString& table, sqlite3* db, int* result = nullptr);
    static qint64 versionInOpenedDatabase(sqlite3* db, int* result = nullptr);
    static int setVersion(qint64 version, sqlite3* db);
    static int enableAutoVacuumInOpenedDatabase(sqlite3* db);
    static qint64 getPageSizeInOpenedDatabase(sqlite3* db, int* result = nullptr);
    static qint64 getPageCountInOpenedDatabase(sqlite3* db, int* result = nullptr);
    static qint64 getMaxPageCountInOpenedDatabase(sqlite3* db, int* result = nullptr);
    static int setMaxPageCount(qint64 pageCount, sqlite3* db);
    // The handle is null when opening failed (the handle is then closed already).
    static sqlite3* openDatabaseAtFileURL(const QUrl& fileURL, int* result);
    // Opens for reading only: never creates the file, and works where it
    // cannot be written.
    static sqlite3* openReadOnly(const QString& filePath, int* result);
    static void closeDatabase(sqlite3* db);

    // SQLite's English text for a result code.
    static QString resultDescription(int result);

  protected:
    // Nothing happens until the most-derived constructor calls configure(),
    // so the hooks below reach the subclass.
    TLMDBStorage(TLMDBSchema schema, qint64 version, QString filePath);
    void configure();

    // Called on a database file that was just created.
    virtual void customizeDatabase(sqlite3* db);
    // Called when the stored schema version is lower than ours.
    virtual void migrateDatabase(sqlite3* db, qint64 fromVersion);

    // Creates the tables of the schema that the database lacks.
    int createTablesWithSchema(sqlite3* db);

  private:
    int configureDatabase();

    TLMDBSchema m_schema;
    qint64 m_version;
    QString m_dbFilePath;
    qint64 m_pageSize = 0;
    qint64 m_maxSizeInBytes = kDefaultMaxSizeInBytes;
    int m_configurationResult = 1; // SQLITE_ERROR until configured
};

} // namespace qrv
