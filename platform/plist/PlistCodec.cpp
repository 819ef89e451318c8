#include "platform/plist/PlistCodec.h"

#include <QDateTime>
#include <QTimeZone>
#include <memory>
#include <plist/plist.h>

namespace qrv::plist {
namespace {

// Property-list dates count from 2001-01-01 UTC.
constexpr qint64 kMacEpochOffsetSeconds = 978307200;

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using NodePtr = std::unique_ptr<void, NodeDeleter>;

QVariant toVariant(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t v = 0;
        plist_get_bool_val(node, &v);
        return QVariant(v != 0);
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        // The library keeps every integer as 64 raw bits; a binary file stores
        // negative numbers as their two's complement, which is what we hand back.
        return QVariant(static_cast<qint64>(v));
    }
    case PLIST_REAL: {
        double v = 0;
        plist_get_real_val(node, &v);
        return QVariant(v);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char* s = nullptr;
        if (plist_get_node_type(node) == PLIST_KEY)
            plist_get_key_val(node, &s);
        else
            plist_get_string_val(node, &s);
        QString result = QString::fromUtf8(s ? s : "");
        free(s);
        return QVariant(result);
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        QByteArray result(bytes ? bytes : "", static_cast<qsizetype>(length));
        free(bytes);
        return QVariant(result);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        const qint64 ms = (static_cast<qint64>(sec) + kMacEpochOffsetSeconds) * 1000 + usec / 1000;
        return QVariant(QDateTime::fromMSecsSinceEpoch(ms, QTimeZone::utc()));
    }
    case PLIST_UID: {
        uint64_t v = 0;
        plist_get_uid_val(node, &v);
        return QVariant::fromValue(PlistUid{v});
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        list.reserve(n);
        for (uint32_t i = 0; i < n; ++i)
            list.append(toVariant(plist_array_get_item(node, i)));
        return list;
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        for (;;) {
            char* key = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &key, &value);
            if (!key)
                break;
            map.insert(QString::fromUtf8(key), toVariant(value));
            free(key);
        }
        free(it);
        return map;
    }
    default:
        return {};
    }
}

plist_t fromVariant(const QVariant& value, bool* ok) {
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 ms = value.toDateTime().toMSecsSinceEpoch() - kMacEpochOffsetSeconds * 1000;
        const qint64 sec = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        const qint64 rest = ms - sec * 1000;
        return plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>(rest * 1000));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        plist_t array = plist_new_array();
        for (const QVariant& item : value.toList()) {
            plist_t child = fromVariant(item, ok);
            if (!child) {
                plist_free(array);
                return nullptr;
            }
            plist_array_append_item(array, child);
        }
        return array;
    }
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            plist_t child = fromVariant(it.value(), ok);
            if (!child) {
                plist_free(dict);
                return nullptr;
            }
            plist_dict_set_item(dict, it.key().toUtf8().constData(), child);
        }
        return dict;
    }
    default:
        if (value.metaType() == QMetaType::fromType<PlistUid>())
            return plist_new_uid(value.value<PlistUid>().value);
        *ok = false;
        return nullptr;
    }
}

} // namespace

Result<QVariant> decode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return makeError(QStringLiteral("The property list is empty."));
    if (bytes.size() > std::numeric_limits<uint32_t>::max())
        return makeError(QStringLiteral("The property list is too large."));
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    if (!root)
        return makeError(QStringLiteral("The data is not a readable property list."));
    NodePtr owner(root);
    return toVariant(root);
}

Result<QByteArray> encode(const QVariant& value, Format format) {
    bool ok = true;
    NodePtr root(fromVariant(value, &ok));
    if (!root || !ok)
        return makeError(QStringLiteral("The value of type %1 has no property-list form.")
                             .arg(QString::fromLatin1(value.typeName())));
    char* out = nullptr;
    uint32_t length = 0;
    if (format == Format::Binary)
        plist_to_bin(root.get(), &out, &length);
    else
        plist_to_xml(root.get(), &out, &length);
    if (!out)
        return makeError(QStringLiteral("The property list could not be written."));
    QByteArray result(out, static_cast<qsizetype>(length));
    free(out);
    return result;
}

bool isPlistValue(const QVariant& value) {
    bool ok = true;
    NodePtr root(fromVariant(value, &ok));
    return root && ok;
}

} // namespace qrv::plist
