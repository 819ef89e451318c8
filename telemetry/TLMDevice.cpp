#include "telemetry/TLMDevice.h"

#include "platform/AppInfo.h"
#include "telemetry/TLMLogJson.h"

#include <QDateTime>
#include <QLocale>
#include <QSysInfo>
#include <QTimeZone>

namespace qrv {

bool TLMDevice::isValid() const {
    return !sdkName.isEmpty() && !sdkVersion.isEmpty() && !osName.isEmpty() &&
           !osVersion.isEmpty() && !appVersion.isEmpty();
}

QJsonObject TLMDevice::toJson() const {
    QJsonObject json;
    json.insert(QStringLiteral("sdkName"), sdkName);
    json.insert(QStringLiteral("sdkVersion"), sdkVersion);
    json.insert(QStringLiteral("model"), model);
    json.insert(QStringLiteral("osName"), osName);
    json.insert(QStringLiteral("osVersion"), osVersion);
    json.insert(QStringLiteral("osBuild"), osBuild);
    json.insert(QStringLiteral("locale"), locale);
    json.insert(QStringLiteral("timeZoneOffset"), timeZoneOffset);
    json.insert(QStringLiteral("appVersion"), appVersion);
    json.insert(QStringLiteral("appBuild"), appBuild);
    json.insert(QStringLiteral("appNamespace"), appNamespace);
    return json;
}

std::optional<TLMDevice> TLMDevice::fromJson(const QJsonObject& json) {
    TLMDevice device;
    qint64 offset = 0;
    const bool ok = logjson::readString(json, "sdkName", device.sdkName) &&
                    logjson::readString(json, "sdkVersion", device.sdkVersion) &&
                    logjson::readString(json, "model", device.model) &&
                    logjson::readString(json, "osName", device.osName) &&
                    logjson::readString(json, "osVersion", device.osVersion) &&
                    logjson::readString(json, "osBuild", device.osBuild) &&
                    logjson::readString(json, "locale", device.locale) &&
                    logjson::readInteger(json, "timeZoneOffset", offset) &&
                    logjson::readString(json, "appVersion", device.appVersion) &&
                    logjson::readString(json, "appBuild", device.appBuild) &&
                    logjson::readString(json, "appNamespace", device.appNamespace);
    if (!ok)
        return std::nullopt;
    device.timeZoneOffset = int(offset);
    return device;
}

const TLMDevice& TLMDevice::current() {
    static const TLMDevice device = [] {
        TLMDevice d;
        d.sdkName = QStringLiteral("quorvane.telemetry");
        d.sdkVersion = QString::fromLatin1(appinfo::kVersion);
        d.model = QSysInfo::currentCpuArchitecture();
        d.osName = QSysInfo::productType();
        d.osVersion = QSysInfo::productVersion();
        d.osBuild = QSysInfo::kernelVersion();
        d.locale = QLocale::system().name();
        d.timeZoneOffset = QDateTime::currentDateTime().offsetFromUtc() / 60;
        d.appVersion = QString::fromLatin1(appinfo::kVersion);
        d.appBuild = QString::fromLatin1(appinfo::kBuild);
        d.appNamespace = QString::fromLatin1(appinfo::kBundleIdentifier);
        return d;
    }();
    return device;
}

} // namespace qrv
