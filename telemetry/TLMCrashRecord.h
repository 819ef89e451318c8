#pragma once

#include "platform/Result.h"
#include "telemetry/TLMCrashReportLog.h"

#include <QList>

namespace qrv {

// A crash record as the crash handlers wrote it: one "key value" line each,
//   QRVCRASH 1 / pid / process / launch (ms since 1970) / appVersion / appBuild
//   time <s> <ns>, then "signal <n> <name>", "code", "address" for a signal,
//   or "exception <type>" and "reason <what()>" for an uncaught exception,
//   "frame <address>" from the innermost frame out, "module <maps line>" for
//   every executable mapping, "end".
struct TLMCrashRecord {
    struct Module {
        quint64 start = 0;
        quint64 end = 0;
        quint64 fileOffset = 0;
        QString device; // "major:minor", with the inode telling the file apart
        quint64 inode = 0;
        QString path;
    };

    qint64 processId = 0;
    QString processName;
    QDateTime launchTime;
    QString appVersion;
    QString appBuild;
    QDateTime crashTime;
    int signal = 0;
    QString signalName;
    int signalCode = 0;
    std::optional<quint64> faultAddress;
    QString exceptionType;
    QString exceptionReason;
    QList<quint64> frames;
    QList<Module> modules;
    bool complete = false; // the closing "end" line was written

    // A record is usable when its header and the kind of crash were written.
    static Result<TLMCrashRecord> parse(const QByteArray& text);
    static Result<TLMCrashRecord> read(const QString& path);
    // The maps line form ("start-end perms offset dev inode path").
    static std::optional<Module> parseModule(const QString& line);

    // The frames, one a line: number, address, module and offset, and the
    // symbol when the same file is loaded in this process.
    QString stackTrace() const;
    // The report the service receives; the device is this one, with the
    // application version that crashed.
    std::shared_ptr<TLMCrashReportLog> toLog() const;
};

} // namespace qrv
