#pragma once

// Shared by the readers and writers of the two property-list formats.
#include "platform/plist/PlistCodec.h"

#include <optional>

namespace qrv::plist::detail {

enum class Kind {
    Invalid,
    Dictionary,
    Array,
    String,
    Integer,
    Unsigned,
    Real,
    Boolean,
    Date,
    Data,
    Uid
};

// The property-list type a QVariant stands for; Invalid when it has none.
Kind kindOf(const QVariant& value);

// Dates are stored as seconds since 2001-01-01 UTC.
QVariant dateFromSeconds(double seconds);
double secondsFromDate(const QVariant& date);

Result<QVariant> decodeBinary(const QByteArray& bytes);
Result<QVariant> decodeXml(const QByteArray& bytes);
Result<QByteArray> encodeBinary(const QVariant& value);
Result<QByteArray> encodeXml(const QVariant& value);

QString tooDeep();

} // namespace qrv::plist::detail
