#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QMetaType>
#include <QVariant>

namespace qrv {

// A keyed-archive object reference. Rare in preference files, but it must
// survive a rewrite, so it gets a type of its own instead of becoming a number.
struct PlistUid {
    quint64 value = 0;
    friend bool operator==(const PlistUid&, const PlistUid&) = default;
};

// Property-list values live in QVariant with these types, which map one to one:
// dictionary QVariantMap, array QVariantList, string QString, integer qint64
// (quint64 above the signed range), real double, boolean bool, date QDateTime
// (UTC), data QByteArray, uid PlistUid.
namespace plist {

enum class Format { Binary, Xml };

// Reads XML or binary; anything else is an error with a message.
Result<QVariant> decode(const QByteArray& bytes);
// Fails only for values that have no property-list form (e.g. a QPoint).
Result<QByteArray> encode(const QVariant& value, Format format = Format::Binary);

// True when the value consists of property-list types only.
bool isPlistValue(const QVariant& value);

} // namespace plist
} // namespace qrv

Q_DECLARE_METATYPE(qrv::PlistUid)
