#include "telemetry/TLMLogDBInspection.h"

#include "telemetry/TLMLogArchiver.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <sqlite3.h>

namespace qrv {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("TLMLogDBInspection", text);
}

// A read-only connection for one look, closed when the look is done.
class ReadOnlyDatabase {
  public:
    explicit ReadOnlyDatabase(const QString& path)
        : m_db(TLMDBStorage::openReadOnly(path, &m_result)) {}
    ~ReadOnlyDatabase() { TLMDBStorage::closeDatabase(m_db); }
    ReadOnlyDatabase(const ReadOnlyDatabase&) = delete;
    ReadOnlyDatabase& operator=(const ReadOnlyDatabase&) = delete;

    sqlite3* handle() const { return m_db; }
    int openResult() const { return m_result; }

    QStringList column(const QString& query, int* result) const {
        QStringList values;
        for (const TLMDBRow& row : TLMDBStorage::executeSelectionQuery(query, m_db, {}, result))
            values << row.value(0).toString();
        return values;
    }

  private:
    int m_result = SQLITE_OK;
    sqlite3* m_db = nullptr;
};

QStringList schemaColumns() {
    QStringList names;
    for (const TLMDBColumn& column : TLMLogDBStorage::logsSchema().value(TLMLogDBStorage::kTable))
        names << column.name;
    return names;
}

int columnIndex(const QString& name) {
    return int(schemaColumns().indexOf(name));
}

using Kind = TLMLogDBInspection::Kind;
using FileKind = TLMLogDBInspection::FileKind;

FileKind notAStore(const QString& problem) {
    return FileKind{Kind::NotAStore, 0, problem};
}

FileKind examineDatabase(const ReadOnlyDatabase& database) {
    if (!database.handle())
        return notAStore(tr("it cannot be opened (%1)")
                             .arg(TLMDBStorage::resultDescription(database.openResult())));
    int result = SQLITE_OK;
    // SQLite's own tables (the AUTOINCREMENT sequence) come with every store.
    const QStringList tables =
        database.column(QStringLiteral("SELECT \"name\" FROM \"sqlite_master\" WHERE "
                                       "\"type\"='table' AND substr(\"name\", 1, 7) != 'sqlite_'"),
                        &result);
    if (result == SQLITE_NOTADB)
        return notAStore(tr("it is not a SQLite database"));
    if (result != SQLITE_OK)
        return notAStore(tr("it cannot be read (%1)").arg(TLMDBStorage::resultDescription(result)));
    if (tables.isEmpty())
        return FileKind{Kind::Empty, 0, {}};
    const QStringList columns = database.column(
        QStringLiteral("SELECT \"name\" FROM pragma_table_info('%1')").arg(TLMLogDBStorage::kTable),
        &result);
    if (tables != QStringList{TLMLogDBStorage::kTable} || columns != schemaColumns())
        return notAStore(tr("it is a SQLite database, but not one of telemetry logs"));
    const qint64 version = TLMDBStorage::versionInOpenedDatabase(database.handle(), &result);
    if (version > TLMLogDBStorage::kSchemaVersion)
        return FileKind{Kind::NewerStore, version,
                        tr("it was written by a later version of the program (schema version "
                           "%1; this one knows %2)")
                            .arg(version)
                            .arg(TLMLogDBStorage::kSchemaVersion)};
    return FileKind{Kind::Store, version, {}};
}

// Runs a query on a store read-only; an empty file or database answers no rows.
Result<QList<TLMDBRow>> readRows(const QString& path, const QString& query) {
    const QFileInfo info(path);
    if (!info.exists())
        return makeError(tr("there is no file “%1”").arg(path));
    if (info.isFile() && info.size() == 0)
        return QList<TLMDBRow>();
    const ReadOnlyDatabase database(path);
    const FileKind kind = examineDatabase(database);
    if (kind.kind == Kind::Empty)
        return QList<TLMDBRow>();
    if (kind.kind == Kind::NotAStore)
        return makeError(tr("“%1” is not a telemetry log store: %2").arg(path, kind.problem));
    int result = SQLITE_OK;
    QList<TLMDBRow> rows =
        TLMDBStorage::executeSelectionQuery(query, database.handle(), {}, &result);
    if (result != SQLITE_OK)
        return makeError(
            tr("“%1” cannot be read: %2").arg(path, TLMDBStorage::resultDescription(result)));
    return rows;
}

} // namespace

TLMLogDBInspection::FileKind TLMLogDBInspection::examine(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind{Kind::Missing, 0, {}};
    if (!info.isFile())
        return notAStore(tr("it is not a file"));
    // SQLite takes an empty file for an empty database.
    if (info.size() == 0)
        return FileKind{Kind::Empty, 0, {}};
    return examineDatabase(ReadOnlyDatabase(path));
}

bool TLMLogDBInspection::mayOpenForWriting(const FileKind& file) {
    return file.kind == Kind::Missing || file.kind == Kind::Empty || file.kind == Kind::Store;
}

Result<qint64> TLMLogDBInspection::countLogs(const QString& path) {
    auto rows =
        readRows(path, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(TLMLogDBStorage::kTable));
    if (!rows)
        return makeError(rows.error());
    return rows->isEmpty() ? 0 : rows->first().value(0).toLongLong();
}

Result<QList<TLMLogSummary>> TLMLogDBInspection::logSummaries(const QString& path) {
    auto rows = readRows(
        path,
        QStringLiteral("SELECT * FROM \"%1\" ORDER BY \"id\" ASC").arg(TLMLogDBStorage::kTable));
    if (!rows)
        return makeError(rows.error());
    static const int id = columnIndex(QStringLiteral("id"));
    static const int group = columnIndex(QStringLiteral("groupId"));
    static const int encodedLog = columnIndex(QStringLiteral("log"));
    static const int priority = columnIndex(QStringLiteral("priority"));
    QList<TLMLogSummary> summaries;
    for (const TLMDBRow& row : std::as_const(*rows)) {
        const QString encoded = row.value(encodedLog).toString();
        const TLMLogPtr log = TLMLogArchiver::decode(encoded);
        summaries << TLMLogSummary{row.value(id).toLongLong(), row.value(group).toString(),
                                   row.value(priority).toInt(), encoded.size(),
                                   log ? log->type() : QString()};
    }
    return summaries;
}

} // namespace qrv
