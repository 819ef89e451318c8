#pragma once

#include "telemetry/TLMAbstractLog.h"

namespace qrv {

// A crash of the program itself, as crash capture reports it.
class TLMCrashReportLog : public TLMAbstractLog {
  public:
    static inline const QString kType = QStringLiteral("crashReport");

    QString type() const override { return kType; }
    bool isValid() const override;
    QJsonObject toJson() const override;
    bool readJson(const QJsonObject& json) override;

    QString errorId; // a UUID string
    qint64 processId = 0;
    QString processName;
    bool fatal = true;
    QDateTime appLaunchTimestamp;
    QString exceptionType;   // e.g. "SIGSEGV"
    QString exceptionReason; // e.g. the faulting address
    QString stackTrace;      // the crashed thread's frames, one a line
};

} // namespace qrv
