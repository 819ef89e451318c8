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

// A date that QDateTime cannot hold exactly: a fraction finer than a
// millisecond (the platform's own dates usually have one) or beyond QDateTime's
// range. Seconds since 2001-01-01 UTC, as the file stores them. Converts to
// QDateTime (rounded to the millisecond) for readers that want one.
struct PlistDate {
    double secondsSinceReferenceDate = 0;
    friend bool operator==(const PlistDate&, const PlistDate&) = default;
};

// Property-list values live in QVariant with these types, which map one to one:
// dictionary QVariantMap, array QVariantList, string QString (U+0000 included),
// integer qint64 (quint64 above the signed range), real double, boolean bool,
// date QDateTime (UTC) or PlistDate, data QByteArray, uid PlistUid.
// Decoding and encoding again gives the same values: nothing a file holds is
// rounded, cut or wrapped on the way.
namespace plist {

enum class Format { Binary, Xml };

// Containers nested deeper than this make a file unreadable rather than
// exhausting the stack; real preference files stay below a dozen levels.
inline constexpr int kMaxDepth = 256;

// Reads XML or binary; anything else is an error with a message.
Result<QVariant> decode(const QByteArray& bytes);
// Fails for values that have no property-list form (e.g. a QPoint) and for
// containers nested deeper than kMaxDepth.
Result<QByteArray> encode(const QVariant& value, Format format = Format::Binary);

// True when the value consists of property-list types only.
bool isPlistValue(const QVariant& value);

} // namespace plist
} // namespace qrv

Q_DECLARE_METATYPE(qrv::PlistUid)
Q_DECLARE_METATYPE(qrv::PlistDate)
