#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

// Reading the fields of a stored log: an absent field leaves the value as it
// is, a field of the wrong kind fails the read, so a damaged record is noticed
// instead of turning into a log with empty fields.
namespace qrv::logjson {

bool readString(const QJsonObject& json, const char* key, QString& value);
bool readInteger(const QJsonObject& json, const char* key, qint64& value);
bool readBool(const QJsonObject& json, const char* key, bool& value);
bool readDate(const QJsonObject& json, const char* key, QDateTime& value);

// UTC, milliseconds, ISO 8601: the form every date of a log takes.
QString dateString(const QDateTime& date);

} // namespace qrv::logjson
