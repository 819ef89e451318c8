#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

namespace qrv {

// The description of the program and the machine that every log carries.
struct TLMDevice {
    QString sdkName;
    QString sdkVersion;
    QString model;
    QString osName;
    QString osVersion;
    QString osBuild;
    QString locale;         // e.g. "en_GB"
    int timeZoneOffset = 0; // minutes east of UTC
    QString appVersion;
    QString appBuild;
    QString appNamespace; // the bundle identifier

    bool isValid() const;
    QJsonObject toJson() const;
    // Empty when a field is of the wrong kind.
    static std::optional<TLMDevice> fromJson(const QJsonObject& json);

    // This process's description, computed once.
    static const TLMDevice& current();

    bool operator==(const TLMDevice&) const = default;
};

} // namespace qrv
