#pragma once

#include "telemetry/TLMLogDBStorage.h"
#include "telemetry/TLMLogSamples.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace qrv::testing {

// Asks the sqlite3 command-line shell, so a test sees the file as any other
// reader would rather than through the store. Answers the output, trimmed.
inline QString sqliteShell(const QString& file, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file, sql});
    if (!shell.waitForFinished(30000) || shell.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(shell.readAllStandardError());
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

// A store in a folder of its own, removed at the end of the test. Stores
// opened through it share one key for their target tokens, as the runs of
// the program do.
struct StoreFolder {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Logs.sqlite"));
    TLMEncrypter encrypter = TLMEncrypter::withNewKey();
    QString sql(const QString& statement) const { return sqliteShell(file, statement); }
};

// A crash report whose error id tells which one it is.
inline TLMLogPtr namedLog(const QString& name, qint64 encodedSize = 0) {
    auto log = TLMLogSamples::crashReport();
    log->errorId = name;
    TLMLogSamples::padToEncodedSize(*log, encodedSize);
    return log;
}

inline QString nameOf(const TLMLogPtr& log) {
    auto* report = dynamic_cast<TLMCrashReportLog*>(log.get());
    return report ? report->errorId : QString();
}

} // namespace qrv::testing
