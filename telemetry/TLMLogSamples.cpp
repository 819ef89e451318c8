#include "telemetry/TLMLogSamples.h"

#include "telemetry/TLMLogArchiver.h"

#include <QCoreApplication>
#include <QUuid>

namespace qrv {

std::shared_ptr<TLMCrashReportLog> TLMLogSamples::crashReport() {
    auto log = std::make_shared<TLMCrashReportLog>();
    log->timestamp = QDateTime::currentDateTimeUtc();
    log->sid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    log->device = TLMDevice::current();
    log->errorId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    log->processId = QCoreApplication::applicationPid();
    log->processName = QStringLiteral("quorvane");
    log->appLaunchTimestamp = log->timestamp;
    log->exceptionType = QStringLiteral("SIGSEGV");
    log->exceptionReason = QStringLiteral("synthetic");
    return log;
}

void TLMLogSamples::padToEncodedSize(TLMCrashReportLog& log, qint64 encodedSize) {
    // Base64 turns every 3 bytes into 4 characters (so the length is rounded to
    // the nearest multiple of 4); ASCII filler adds one byte of JSON per character.
    const qint64 archivedSize = (encodedSize + 2) / 4 * 3;
    const qint64 filler = archivedSize - TLMLogArchiver::archive(log).size();
    if (filler > 0)
        log.stackTrace += QString(filler, QLatin1Char('x'));
}

} // namespace qrv
