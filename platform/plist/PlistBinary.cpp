// The binary property-list format ("bplist00"): objects, an offset table and a
// 32-byte trailer. The reader trusts nothing in the file: every offset, length
// and reference is checked, nesting is limited, and objects shared between
// containers may not multiply into more values than the file could describe.
#include "platform/plist/PlistValue.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace qrv::plist::detail {
namespace {

constexpr qsizetype kTrailerSize = 32;

class BinaryReader {
  public:
    explicit BinaryReader(const QByteArray& bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.constData()))
        , m_size(quint64(bytes.size()))
        // Without shared containers there is at most one value per reference byte.
        , m_budget(qint64(bytes.size()) * 2 + 256) {}

    Result<QVariant> read() {
        if (m_size < 8 + kTrailerSize || std::memcmp(m_data, "bplist00", 8) != 0)
            return makeError(QStringLiteral("The binary property list is truncated or of an "
                                            "unknown version."));
        const uchar* trailer = m_data + m_size - kTrailerSize;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_count = qFromBigEndian<quint64>(trailer + 8);
        const quint64 top = qFromBigEndian<quint64>(trailer + 16);
        m_tableOffset = qFromBigEndian<quint64>(trailer + 24);
        const quint64 end = m_size - kTrailerSize;
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 ||
            m_count == 0 || top >= m_count || m_tableOffset < 8 || m_tableOffset > end ||
            m_count > (end - m_tableOffset) / m_offsetSize)
            return fail(QStringLiteral("its trailer is damaged"));
        QVariant root;
        if (!object(top, 0, &root))
            return makeError(m_error);
        return root;
    }

  private:
    Result<QVariant> fail(const QString& why) {
        return makeError(QStringLiteral("The binary property list is damaged: %1.").arg(why));
    }
    bool error(const QString& why) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The binary property list is damaged: %1.").arg(why);
        return false;
    }
    bool fits(quint64 pos, quint64 length) const {
        return pos <= m_tableOffset && length <= m_tableOffset - pos;
    }
    static quint64 bigEndian(const uchar* p, unsigned size) {
        quint64 v = 0;
        for (unsigned i = 0; i < size; ++i)
            v = (v << 8) | p[i];
        return v;
    }

    // The length of a container, string or data object: the low nibble, or an
    // integer object after the marker when the nibble is 15.
    bool length(quint64* pos, uchar marker, quint64* out) {
        *out = marker & 0x0F;
        if (*out != 0x0F)
            return true;
        if (!fits(*pos, 1))
            return error(QStringLiteral("a length runs past the objects"));
        const uchar intMarker = m_data[*pos];
        const unsigned size = 1u << (intMarker & 0x0F);
        if ((intMarker & 0xF0) != 0x10 || size > 8 || !fits(*pos + 1, size))
            return error(QStringLiteral("a length is not a readable integer"));
        *out = bigEndian(m_data + *pos + 1, size);
        *pos += 1 + size;
        return true;
    }

    bool reference(quint64 pos, quint64 index, quint64* ref) {
        if (index > (m_tableOffset - pos) / m_refSize || !fits(pos + index * m_refSize, m_refSize))
            return error(QStringLiteral("a container runs past the objects"));
        *ref = bigEndian(m_data + pos + index * m_refSize, m_refSize);
        return true;
    }

    bool object(quint64 ref, int depth, QVariant* out) {
        if (ref >= m_count)
            return error(QStringLiteral("a reference names no object"));
        if (--m_budget < 0)
            return error(QStringLiteral("shared containers expand beyond the file's size"));
        const quint64 pos = bigEndian(m_data + m_tableOffset + ref * m_offsetSize, m_offsetSize);
        if (pos < 8 || !fits(pos, 1))
            return error(QStringLiteral("an object lies outside the file"));
        const uchar marker = m_data[pos];
        quint64 at = pos + 1;
        switch (marker >> 4) {
        case 0x0:
            if (marker == 0x08 || marker == 0x09) {
                *out = marker == 0x09;
                return true;
            }
            return error(QStringLiteral("it holds a null or fill object"));
        case 0x1: {
            const unsigned size = 1u << (marker & 0x0F);
            if (size > 16 || !fits(at, size))
                return error(QStringLiteral("an integer is cut off"));
            if (size == 16) { // 128 bits; only the unsigned 64-bit range is representable
                const quint64 high = bigEndian(m_data + at, 8);
                const quint64 low = bigEndian(m_data + at + 8, 8);
                if (high == 0)
                    *out = low > quint64(std::numeric_limits<qint64>::max())
                               ? QVariant(low)
                               : QVariant(qint64(low));
                else if (high == ~quint64(0) && qint64(low) < 0)
                    *out = qint64(low);
                else
                    return error(QStringLiteral("an integer is larger than 64 bits"));
                return true;
            }
            // 1, 2 and 4 bytes are unsigned, 8 bytes are signed.
            *out = qint64(bigEndian(m_data + at, size));
            return true;
        }
        case 0x2: {
            const unsigned size = 1u << (marker & 0x0F);
            if ((size != 4 && size != 8) || !fits(at, size))
                return error(QStringLiteral("a real number is cut off"));
            if (size == 4) {
                *out = double(qFromBigEndian<float>(m_data + at));
            } else {
                *out = qFromBigEndian<double>(m_data + at);
            }
            return true;
        }
        case 0x3:
            if (marker != 0x33 || !fits(at, 8))
                return error(QStringLiteral("a date is cut off"));
            *out = dateFromSeconds(qFromBigEndian<double>(m_data + at));
            return true;
        case 0x4:
        case 0x5:
        case 0x6: {
            quint64 count = 0;
            if (!length(&at, marker, &count))
                return false;
            const bool utf16 = (marker >> 4) == 0x6;
            if (utf16 && count > std::numeric_limits<quint64>::max() / 2)
                return error(QStringLiteral("a string is cut off"));
            const quint64 bytes = utf16 ? count * 2 : count;
            if (!fits(at, bytes))
                return error(QStringLiteral("a string or data object is cut off"));
            const char* p = reinterpret_cast<const char*>(m_data + at);
            if ((marker >> 4) == 0x4) {
                *out = QByteArray(p, qsizetype(bytes));
            } else if (!utf16) {
                *out = QString::fromLatin1(p, qsizetype(bytes));
            } else {
                QString text(qsizetype(count), Qt::Uninitialized);
                for (quint64 i = 0; i < count; ++i)
                    text[qsizetype(i)] = QChar(qFromBigEndian<quint16>(m_data + at + 2 * i));
                *out = text;
            }
            return true;
        }
        case 0x8: {
            const unsigned size = (marker & 0x0F) + 1u;
            if (size > 8 || !fits(at, size))
                return error(QStringLiteral("a uid is cut off"));
            *out = QVariant::fromValue(PlistUid{bigEndian(m_data + at, size)});
            return true;
        }
        case 0xA:
        case 0xC: // a set reads as an array
        case 0xD: {
            if (depth >= kMaxDepth) {
                m_error = tooDeep();
                return false;
            }
            quint64 count = 0;
            if (!length(&at, marker, &count))
                return false;
            return (marker >> 4) == 0xD ? dictionary(at, count, depth, out)
                                        : array(at, count, depth, out);
        }
        default:
            return error(QStringLiteral("it holds an object of unknown type"));
        }
    }

    bool array(quint64 at, quint64 count, int depth, QVariant* out) {
        QVariantList list;
        for (quint64 i = 0; i < count; ++i) {
            quint64 ref = 0;
            QVariant item;
            if (!reference(at, i, &ref) || !object(ref, depth + 1, &item))
                return false;
            list.append(std::move(item));
        }
        *out = std::move(list);
        return true;
    }

    bool dictionary(quint64 at, quint64 count, int depth, QVariant* out) {
        QVariantMap map;
        if (count > (std::numeric_limits<quint64>::max() / 2))
            return error(QStringLiteral("a dictionary is cut off"));
        for (quint64 i = 0; i < count; ++i) {
            quint64 keyRef = 0, valueRef = 0;
            QVariant key, value;
            if (!reference(at, i, &keyRef) || !reference(at, count + i, &valueRef) ||
                !object(keyRef, depth + 1, &key) || !object(valueRef, depth + 1, &value))
                return false;
            if (key.typeId() != QMetaType::QString)
                return error(QStringLiteral("a dictionary key is not a string"));
            map.insert(key.toString(), std::move(value));
        }
        *out = std::move(map);
        return true;
    }

    const uchar* m_data;
    quint64 m_size;
    qint64 m_budget;
    unsigned m_offsetSize = 0;
    unsigned m_refSize = 0;
    quint64 m_count = 0;
    quint64 m_tableOffset = 0;
    QString m_error;
};

// Objects are written in depth-first order, containers before their contents;
// nothing is shared, so what is read back has the structure that was written.
class BinaryWriter {
  public:
    Result<QByteArray> write(const QVariant& root) {
        if (!flatten(root, 0))
            return makeError(m_error);
        const quint64 count = m_objects.size();
        m_refSize = count <= 0xFF ? 1 : count <= 0xFFFF ? 2 : 4;
        m_out = QByteArray("bplist00");
        std::vector<quint64> offsets;
        offsets.reserve(m_objects.size());
        for (const Flat& object : m_objects) {
            offsets.push_back(quint64(m_out.size()));
            writeObject(object);
        }
        const quint64 tableOffset = quint64(m_out.size());
        const unsigned offsetSize = tableOffset <= 0xFF         ? 1
                                    : tableOffset <= 0xFFFF     ? 2
                                    : tableOffset <= 0xFFFFFFFF ? 4
                                                                : 8;
        for (quint64 offset : offsets)
            appendBigEndian(offset, offsetSize);
        m_out.append(6, '\0');
        m_out.append(char(offsetSize));
        m_out.append(char(m_refSize));
        appendBigEndian(count, 8);
        appendBigEndian(0, 8); // the root is the first object
        appendBigEndian(tableOffset, 8);
        return m_out;
    }

  private:
    struct Flat {
        QVariant value; // scalars; keys of a dictionary as strings
        Kind kind = Kind::Invalid;
        std::vector<quint64> children; // dictionaries: keys, then values
    };

    bool flatten(const QVariant& value, int depth) {
        const Kind kind = kindOf(value);
        if (kind == Kind::Invalid) {
            m_error = QStringLiteral("The value of type %1 has no property-list form.")
                          .arg(QString::fromLatin1(value.typeName()));
            return false;
        }
        const size_t index = m_objects.size();
        m_objects.push_back(
            {kind == Kind::Dictionary || kind == Kind::Array ? QVariant() : value, kind, {}});
        if (kind != Kind::Dictionary && kind != Kind::Array)
            return true;
        if (depth >= kMaxDepth) {
            m_error = tooDeep();
            return false;
        }
        std::vector<quint64> children;
        if (kind == Kind::Array) {
            for (const QVariant& item : value.toList()) {
                children.push_back(m_objects.size());
                if (!flatten(item, depth + 1))
                    return false;
            }
        } else {
            const QVariantMap map = value.toMap();
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                children.push_back(m_objects.size());
                m_objects.push_back({it.key(), Kind::String, {}});
            }
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                children.push_back(m_objects.size());
                if (!flatten(it.value(), depth + 1))
                    return false;
            }
        }
        m_objects[index].children = std::move(children);
        return true;
    }

    void appendBigEndian(quint64 v, unsigned size) {
        for (unsigned i = size; i > 0; --i)
            m_out.append(char((v >> (8 * (i - 1))) & 0xFF));
    }
    void marker(uchar type, quint64 count) {
        if (count < 15) {
            m_out.append(char(type | count));
            return;
        }
        m_out.append(char(type | 0x0F));
        integer(count);
    }
    void integer(quint64 v) {
        if (v <= 0xFF) {
            m_out.append(char(0x10));
            appendBigEndian(v, 1);
        } else if (v <= 0xFFFF) {
            m_out.append(char(0x11));
            appendBigEndian(v, 2);
        } else if (v <= 0xFFFFFFFF) {
            m_out.append(char(0x12));
            appendBigEndian(v, 4);
        } else {
            m_out.append(char(0x13));
            appendBigEndian(v, 8);
        }
    }
    void writeObject(const Flat& object) {
        switch (object.kind) {
        case Kind::Boolean:
            m_out.append(char(object.value.toBool() ? 0x09 : 0x08));
            break;
        case Kind::Integer: {
            const qint64 v = object.value.toLongLong();
            if (v < 0) { // only the 8-byte form is signed
                m_out.append(char(0x13));
                appendBigEndian(quint64(v), 8);
            } else {
                integer(quint64(v));
            }
            break;
        }
        case Kind::Unsigned: {
            const quint64 v = object.value.toULongLong();
            if (v > quint64(std::numeric_limits<qint64>::max())) { // the 8-byte form is signed
                m_out.append(char(0x14));
                appendBigEndian(0, 8);
                appendBigEndian(v, 8);
            } else {
                integer(v);
            }
            break;
        }
        case Kind::Real: {
            m_out.append(char(0x23));
            quint64 bits = 0;
            const double d = object.value.toDouble();
            std::memcpy(&bits, &d, sizeof bits);
            appendBigEndian(bits, 8);
            break;
        }
        case Kind::Date: {
            m_out.append(char(0x33));
            quint64 bits = 0;
            const double d = secondsFromDate(object.value);
            std::memcpy(&bits, &d, sizeof bits);
            appendBigEndian(bits, 8);
            break;
        }
        case Kind::Data: {
            const QByteArray data = object.value.toByteArray();
            marker(0x40, quint64(data.size()));
            m_out.append(data);
            break;
        }
        case Kind::String: {
            const QString text = object.value.toString();
            const bool ascii =
                std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
            if (ascii) {
                marker(0x50, quint64(text.size()));
                m_out.append(text.toLatin1());
            } else {
                marker(0x60, quint64(text.size()));
                for (QChar c : text)
                    appendBigEndian(c.unicode(), 2);
            }
            break;
        }
        case Kind::Uid: {
            const quint64 v = object.value.value<PlistUid>().value;
            unsigned size = 1;
            while (size < 8 && (v >> (8 * size)) != 0)
                size *= 2;
            m_out.append(char(0x80 | (size - 1)));
            appendBigEndian(v, size);
            break;
        }
        case Kind::Array:
        case Kind::Dictionary: {
            const quint64 count =
                object.kind == Kind::Array ? object.children.size() : object.children.size() / 2;
            marker(object.kind == Kind::Array ? 0xA0 : 0xD0, count);
            for (quint64 child : object.children)
                appendBigEndian(child, m_refSize);
            break;
        }
        case Kind::Invalid:
            break;
        }
    }

    std::vector<Flat> m_objects;
    unsigned m_refSize = 1;
    QByteArray m_out;
    QString m_error;
};

} // namespace

Result<QVariant> decodeBinary(const QByteArray& bytes) {
    return BinaryReader(bytes).read();
}

Result<QByteArray> encodeBinary(const QVariant& value) {
    return BinaryWriter().write(value);
}

} // namespace qrv::plist::detail
