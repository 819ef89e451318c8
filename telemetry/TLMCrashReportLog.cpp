#include "telemetry/TLMCrashReportLog.h"

#include "telemetry/TLMLogJson.h"

namespace qrv {

bool TLMCrashReportLog::isValid() const {
    return TLMAbstractLog::isValid() && !errorId.isEmpty() && processId > 0 &&
           !processName.isEmpty() && appLaunchTimestamp.isValid();
}

QJsonObject TLMCrashReportLog::toJson() const {
    QJsonObject json = TLMAbstractLog::toJson();
    json.insert(QStringLiteral("id"), errorId);
    json.insert(QStringLiteral("processId"), processId);
    json.insert(QStringLiteral("processName"), processName);
    json.insert(QStringLiteral("fatal"), fatal);
    if (appLaunchTimestamp.isValid())
        json.insert(QStringLiteral("appLaunchTimestamp"), logjson::dateString(appLaunchTimestamp));
    json.insert(QStringLiteral("exceptionType"), exceptionType);
    json.insert(QStringLiteral("exceptionReason"), exceptionReason);
    json.insert(QStringLiteral("stackTrace"), stackTrace);
    return json;
}

bool TLMCrashReportLog::readJson(const QJsonObject& json) {
    return TLMAbstractLog::readJson(json) && logjson::readString(json, "id", errorId) &&
           logjson::readInteger(json, "processId", processId) &&
           logjson::readString(json, "processName", processName) &&
           logjson::readBool(json, "fatal", fatal) &&
           logjson::readDate(json, "appLaunchTimestamp", appLaunchTimestamp) &&
           logjson::readString(json, "exceptionType", exceptionType) &&
           logjson::readString(json, "exceptionReason", exceptionReason) &&
           logjson::readString(json, "stackTrace", stackTrace);
}

} // namespace qrv
