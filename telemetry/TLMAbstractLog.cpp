#include "telemetry/TLMAbstractLog.h"

#include "telemetry/TLMLogJson.h"

namespace qrv {

TLMAbstractLog::~TLMAbstractLog() = default;

bool TLMAbstractLog::isValid() const {
    return !type().isEmpty() && timestamp.isValid() && device && device->isValid();
}

QJsonObject TLMAbstractLog::toJson() const {
    QJsonObject json;
    json.insert(QStringLiteral("type"), type());
    if (timestamp.isValid())
        json.insert(QStringLiteral("timestamp"), logjson::dateString(timestamp));
    if (!sid.isEmpty())
        json.insert(QStringLiteral("sid"), sid);
    if (device)
        json.insert(QStringLiteral("device"), device->toJson());
    if (!dataResidencyRegion.isEmpty())
        json.insert(QStringLiteral("dataResidencyRegion"), dataResidencyRegion);
    return json;
}

bool TLMAbstractLog::readJson(const QJsonObject& json) {
    if (json.value(QLatin1String("type")).toString() != type())
        return false;
    if (!logjson::readDate(json, "timestamp", timestamp) ||
        !logjson::readString(json, "sid", sid) ||
        !logjson::readString(json, "dataResidencyRegion", dataResidencyRegion))
        return false;
    const QJsonValue deviceJson = json.value(QLatin1String("device"));
    if (deviceJson.isUndefined())
        return true;
    if (!deviceJson.isObject())
        return false;
    device = TLMDevice::fromJson(deviceJson.toObject());
    return device.has_value();
}

QString TLMAbstractLog::targetKeyFromToken(const QString& token) {
    return token.section(QLatin1Char('-'), 0, 0);
}

} // namespace qrv
