#pragma once

#include "platform/Result.h"
#include "telemetry/TLMLogDBStorage.h"

namespace qrv {

// A look at a log store's file that never changes it: the file is opened
// read-only and is never created, migrated, repaired or deleted, so a path
// given by mistake (a text file, another program's database) stays as it is,
// and a store on read-only media can be read. For the diagnostics tool; the
// program itself uses TLMLogDBStorage, which repairs what it finds.
class TLMLogDBInspection {
  public:
    enum class Kind {
        Missing,    // no file: a store may be created there
        Empty,      // an empty file or a database without tables: nothing to lose
        Store,      // a log store of this schema, version `version`
        NewerStore, // a log store written by a later version
        NotAStore,  // anything else: another program's database, a text file
    };
    struct FileKind {
        Kind kind = Kind::Missing;
        qint64 version = 0;
        QString problem; // for NewerStore and NotAStore: why, for people
    };

    static FileKind examine(const QString& path);
    // True when the store may open the file (and configure it as it does):
    // it is missing, empty, or a store of this or an older version.
    static bool mayOpenForWriting(const FileKind& file);

    // Error when the file is not a readable store; an empty file holds none.
    static Result<qint64> countLogs(const QString& path);
    // Every row, oldest first, read without being handed out or repaired.
    static Result<QList<TLMLogSummary>> logSummaries(const QString& path);
};

} // namespace qrv
