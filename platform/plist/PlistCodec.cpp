#include "platform/plist/PlistCodec.h"

#include "platform/plist/PlistValue.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>

namespace qrv::plist {
namespace detail {
namespace {

constexpr qint64 kReferenceDateMSecs = qint64(978307200) * 1000; // 2001-01-01 UTC
// QDateTime's range is wider, but these stay exact in a double of milliseconds.
constexpr double kMaxExactMSecs = 9007199254740992.0; // 2^53

QDateTime dateTimeFromSeconds(double seconds) {
    return QDateTime::fromMSecsSinceEpoch(
        qint64(std::llround(seconds * 1000)) + kReferenceDateMSecs, QTimeZone::utc());
}

const bool kConvertersRegistered = [] {
    QMetaType::registerConverter<PlistDate, QDateTime>(
        [](const PlistDate& date) { return dateTimeFromSeconds(date.secondsSinceReferenceDate); });
    return true;
}();

} // namespace

Kind kindOf(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return Kind::Dictionary;
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return Kind::Array;
    case QMetaType::QString:
        return Kind::String;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return Kind::Integer;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return Kind::Unsigned;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::Real;
    case QMetaType::Bool:
        return Kind::Boolean;
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? Kind::Date : Kind::Invalid;
    case QMetaType::QByteArray:
        return Kind::Data;
    default:
        if (value.metaType() == QMetaType::fromType<PlistDate>())
            return Kind::Date;
        if (value.metaType() == QMetaType::fromType<PlistUid>())
            return Kind::Uid;
        return Kind::Invalid;
    }
}

QVariant dateFromSeconds(double seconds) {
    // A QDateTime only when it gives back exactly the same number of seconds.
    const double msecs = std::round(seconds * 1000);
    if (std::isfinite(seconds) && std::fabs(msecs) < kMaxExactMSecs && msecs / 1000 == seconds)
        return dateTimeFromSeconds(seconds);
    return QVariant::fromValue(PlistDate{seconds});
}

double secondsFromDate(const QVariant& date) {
    if (date.metaType() == QMetaType::fromType<PlistDate>())
        return date.value<PlistDate>().secondsSinceReferenceDate;
    return double(date.toDateTime().toMSecsSinceEpoch() - kReferenceDateMSecs) / 1000;
}

QString tooDeep() {
    return QStringLiteral("The property list nests containers more than %1 levels deep.")
        .arg(kMaxDepth);
}

} // namespace detail

Result<QVariant> decode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return makeError(QStringLiteral("The property list is empty."));
    if (bytes.startsWith("bplist"))
        return detail::decodeBinary(bytes);
    return detail::decodeXml(bytes);
}

Result<QByteArray> encode(const QVariant& value, Format format) {
    return format == Format::Binary ? detail::encodeBinary(value) : detail::encodeXml(value);
}

namespace {
bool isPlistValue(const QVariant& value, int depth) {
    switch (detail::kindOf(value)) {
    case detail::Kind::Invalid:
        return false;
    case detail::Kind::Dictionary: {
        if (depth >= kMaxDepth)
            return false;
        const QVariantMap map = value.toMap();
        return std::all_of(map.cbegin(), map.cend(),
                           [&](const QVariant& item) { return isPlistValue(item, depth + 1); });
    }
    case detail::Kind::Array: {
        if (depth >= kMaxDepth)
            return false;
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(),
                           [&](const QVariant& item) { return isPlistValue(item, depth + 1); });
    }
    default:
        return true;
    }
}
} // namespace

bool isPlistValue(const QVariant& value) {
    return isPlistValue(value, 0);
}

} // namespace qrv::plist
