#include "telemetry/TLMLogJson.h"

#include <cmath>

namespace qrv::logjson {

bool readString(const QJsonObject& json, const char* key, QString& value) {
    const QJsonValue field = json.value(QLatin1String(key));
    if (field.isUndefined())
        return true;
    if (!field.isString())
        return false;
    value = field.toString();
    return true;
}

bool readInteger(const QJsonObject& json, const char* key, qint64& value) {
    const QJsonValue field = json.value(QLatin1String(key));
    if (field.isUndefined())
        return true;
    const double number = field.toDouble(std::nan(""));
    if (!field.isDouble() || number != std::floor(number))
        return false;
    value = field.toInteger();
    return true;
}

bool readBool(const QJsonObject& json, const char* key, bool& value) {
    const QJsonValue field = json.value(QLatin1String(key));
    if (field.isUndefined())
        return true;
    if (!field.isBool())
        return false;
    value = field.toBool();
    return true;
}

bool readDate(const QJsonObject& json, const char* key, QDateTime& value) {
    QString text;
    if (!json.contains(QLatin1String(key)))
        return true;
    if (!readString(json, key, text))
        return false;
    const QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!date.isValid())
        return false;
    value = date;
    return true;
}

QString dateString(const QDateTime& date) {
    return date.toUTC().toString(Qt::ISODateWithMs);
}

} // namespace qrv::logjson
