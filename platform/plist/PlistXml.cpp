// The XML property-list format. The reader is lenient where writers differ
// (missing prolog, comments, CDATA, character references to control
// characters, which some writers emit for ESC and U+0000) and strict where a
// lenient reading would change values; it keeps every character of a string.
#include "platform/plist/PlistValue.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>
#include <cctype>
#include <cmath>

namespace qrv::plist::detail {
namespace {

struct Tag {
    QByteArray name;
    bool closing = false;
    bool empty = false; // <name/>
};

class XmlReader {
  public:
    explicit XmlReader(const QByteArray& bytes)
        : m_b(bytes) {}

    Result<QVariant> read() {
        if (m_b.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        Tag tag;
        if (!skipMisc() || !readTag(&tag))
            return makeError(failure());
        const bool wrapped = tag.name == "plist" && !tag.closing;
        if (wrapped && (tag.empty || !skipMisc() || !readTag(&tag)))
            return makeError(failure());
        QVariant root;
        if (!value(tag, 0, &root))
            return makeError(failure());
        if (wrapped && (!skipMisc() || !close("plist")))
            return makeError(failure());
        if (!skipMisc() || m_pos < m_b.size()) {
            error(QStringLiteral("there is more after the property list"));
            return makeError(failure());
        }
        return root;
    }

  private:
    QString failure() const {
        return m_error.isEmpty() ? QStringLiteral("The data is not a readable property list.")
                                 : m_error;
    }
    bool error(const QString& why) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The XML property list is not readable: %1 (at byte %2).")
                          .arg(why)
                          .arg(m_pos);
        return false;
    }
    bool at(const char* text) const { return m_b.mid(m_pos, qstrlen(text)) == text; }
    bool skipPast(const char* end) {
        const qsizetype found = m_b.indexOf(end, m_pos);
        if (found < 0)
            return error(QStringLiteral("“%1” is missing").arg(QLatin1String(end)));
        m_pos = found + qstrlen(end);
        return true;
    }

    // White space, comments, processing instructions and the document type.
    bool skipMisc() {
        for (;;) {
            while (m_pos < m_b.size() && std::isspace(uchar(m_b[m_pos])))
                ++m_pos;
            if (at("<!--")) {
                if (!skipPast("-->"))
                    return false;
            } else if (at("<?")) {
                if (!skipPast("?>"))
                    return false;
            } else if (at("<!DOCTYPE")) {
                int brackets = 0;
                for (;; ++m_pos) {
                    if (m_pos >= m_b.size())
                        return error(QStringLiteral("the document type is not closed"));
                    const char c = m_b[m_pos];
                    if (c == '[')
                        ++brackets;
                    else if (c == ']')
                        --brackets;
                    else if (c == '>' && brackets <= 0)
                        break;
                }
                ++m_pos;
            } else {
                return true;
            }
        }
    }

    bool readTag(Tag* tag) {
        if (!at("<"))
            return error(QStringLiteral("an element was expected"));
        ++m_pos;
        tag->closing = at("/");
        if (tag->closing)
            ++m_pos;
        const qsizetype start = m_pos;
        while (m_pos < m_b.size() && !std::isspace(uchar(m_b[m_pos])) && m_b[m_pos] != '>' &&
               m_b[m_pos] != '/')
            ++m_pos;
        tag->name = m_b.mid(start, m_pos - start);
        char quote = 0;
        for (; m_pos < m_b.size(); ++m_pos) { // attributes are of no interest
            const char c = m_b[m_pos];
            if (quote)
                quote = c == quote ? 0 : quote;
            else if (c == '"' || c == '\'')
                quote = c;
            else if (c == '>')
                break;
        }
        if (m_pos >= m_b.size() || tag->name.isEmpty())
            return error(QStringLiteral("an element is not closed"));
        tag->empty = m_b[m_pos - 1] == '/' && !tag->closing;
        ++m_pos;
        return true;
    }

    bool close(const char* name) {
        Tag tag;
        if (!readTag(&tag))
            return false;
        if (!tag.closing || tag.name != name)
            return error(QStringLiteral("“</%1>” was expected").arg(QLatin1String(name)));
        return true;
    }

    bool appendReference(const QByteArray& entity, QByteArray* out) {
        static const QHash<QByteArray, char> named{
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        if (const auto it = named.constFind(entity); it != named.cend()) {
            out->append(*it);
            return true;
        }
        bool ok = false;
        const uint code = entity.startsWith("#x")  ? entity.mid(2).toUInt(&ok, 16)
                          : entity.startsWith("#") ? entity.mid(1).toUInt(&ok, 10)
                                                   : 0;
        if (!ok || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return error(
                QStringLiteral("“&%1;” is not a known character").arg(QString::fromUtf8(entity)));
        const char32_t character = code;
        out->append(QString::fromUcs4(&character, 1).toUtf8());
        return true;
    }

    // Character data up to the next element, with references resolved.
    bool text(QString* out) {
        QByteArray bytes;
        for (;;) {
            const qsizetype next = m_b.indexOf('<', m_pos);
            if (next < 0)
                return error(QStringLiteral("the text is not closed"));
            while (m_pos < next) {
                const qsizetype amp = m_b.indexOf('&', m_pos);
                if (amp < 0 || amp >= next) {
                    bytes.append(m_b.constData() + m_pos, next - m_pos);
                    m_pos = next;
                    break;
                }
                bytes.append(m_b.constData() + m_pos, amp - m_pos);
                const qsizetype semicolon = m_b.indexOf(';', amp);
                m_pos = amp;
                if (semicolon < 0 || semicolon > next)
                    return error(QStringLiteral("a “&” starts no reference"));
                if (!appendReference(m_b.mid(amp + 1, semicolon - amp - 1), &bytes))
                    return false;
                m_pos = semicolon + 1;
            }
            if (at("<![CDATA[")) {
                const qsizetype end = m_b.indexOf("]]>", m_pos);
                if (end < 0)
                    return error(QStringLiteral("a CDATA section is not closed"));
                bytes.append(m_b.constData() + m_pos + 9, end - m_pos - 9);
                m_pos = end + 3;
            } else if (at("<!--")) {
                if (!skipPast("-->"))
                    return false;
            } else {
                *out = QString::fromUtf8(bytes);
                return true;
            }
        }
    }

    bool content(const Tag& tag, QString* out) {
        if (tag.empty) {
            *out = QString(QLatin1String(""));
            return true;
        }
        return text(out) && close(tag.name.constData());
    }

    bool integer(const QString& text, QVariant* out) {
        const QString t = text.trimmed();
        const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        bool ok = false;
        const qint64 signedValue = hex ? t.mid(2).toLongLong(&ok, 16) : t.toLongLong(&ok);
        if (ok) {
            *out = signedValue;
            return true;
        }
        const quint64 unsignedValue = hex ? t.mid(2).toULongLong(&ok, 16) : t.toULongLong(&ok);
        if (!ok)
            return error(QStringLiteral("“%1” is not a 64-bit integer").arg(t));
        *out = unsignedValue;
        return true;
    }

    bool date(const QString& text, QVariant* out) {
        static const QRegularExpression format(QStringLiteral(
            R"(^(\d{4})(?:-(\d\d)(?:-(\d\d)(?:T(\d\d)(?::(\d\d)(?::(\d\d)(\.\d+)?)?)?)?)?)?Z$)"));
        const QRegularExpressionMatch m = format.match(text.trimmed());
        auto part = [&](int i, int fallback) {
            return m.capturedLength(i) ? m.captured(i).toInt() : fallback;
        };
        const QDate day(part(1, 1), part(2, 1), part(3, 1));
        const QTime time(part(4, 0), part(5, 0), part(6, 0));
        if (!m.hasMatch() || !day.isValid() || !time.isValid())
            return error(QStringLiteral("“%1” is not a date").arg(text.trimmed()));
        const qint64 msecs = QDateTime(day, time, QTimeZone::utc()).toMSecsSinceEpoch();
        const double fraction = m.capturedLength(7) ? m.captured(7).toDouble() : 0.0;
        *out = dateFromSeconds(double((msecs - qint64(978307200) * 1000) / 1000) + fraction);
        return true;
    }

    bool collection(const Tag& tag, int depth, QVariant* out) {
        if (depth >= kMaxDepth) {
            m_error = tooDeep();
            return false;
        }
        const bool isDict = tag.name == "dict";
        QVariantMap map;
        QVariantList list;
        for (Tag item; !tag.empty;) {
            if (!skipMisc() || !readTag(&item))
                return false;
            if (item.closing && item.name == tag.name)
                break;
            QString key;
            if (isDict) {
                if (item.name != "key" || item.closing)
                    return error(QStringLiteral("a dictionary holds something other than a key"));
                if (!content(item, &key) || !skipMisc() || !readTag(&item))
                    return false;
            }
            QVariant element;
            if (!value(item, depth + 1, &element))
                return false;
            if (isDict)
                map.insert(key, element);
            else
                list.append(element);
        }
        // How a uid is spelled in XML.
        static const QString kUidKey = QStringLiteral("CF$UID");
        if (isDict && map.size() == 1 && map.firstKey() == kUidKey &&
            map.first().typeId() == QMetaType::LongLong && map.first().toLongLong() >= 0)
            *out = QVariant::fromValue(PlistUid{quint64(map.first().toLongLong())});
        else
            *out = isDict ? QVariant(map) : QVariant(list);
        return true;
    }

    bool value(const Tag& tag, int depth, QVariant* out) {
        if (tag.closing)
            return error(QStringLiteral("“</%1>” closes nothing").arg(QString::fromUtf8(tag.name)));
        if (tag.name == "dict" || tag.name == "array")
            return collection(tag, depth, out);
        if (tag.name == "true" || tag.name == "false") {
            *out = tag.name == "true";
            return tag.empty || (skipMisc() && close(tag.name.constData()));
        }
        QString text;
        if (!content(tag, &text))
            return false;
        if (tag.name == "string") {
            *out = text;
            return true;
        }
        if (tag.name == "integer")
            return integer(text, out);
        if (tag.name == "real") {
            bool ok = false;
            *out = text.trimmed().toDouble(&ok);
            return ok || error(QStringLiteral("“%1” is not a number").arg(text.trimmed()));
        }
        if (tag.name == "date")
            return date(text, out);
        if (tag.name == "data") {
            QByteArray base64 = text.toLatin1();
            base64.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
            auto decoded =
                QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return error(QStringLiteral("a data element is not Base64"));
            *out = *decoded;
            return true;
        }
        return error(QStringLiteral("“<%1>” is not a property-list element")
                         .arg(QString::fromUtf8(tag.name)));
    }

    const QByteArray& m_b;
    qsizetype m_pos = 0;
    QString m_error;
};

class XmlWriter {
  public:
    Result<QByteArray> write(const QVariant& root) {
        m_out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                "<plist version=\"1.0\">\n";
        if (!value(root, 0))
            return makeError(m_error);
        m_out += "</plist>\n";
        return m_out;
    }

  private:
    void line(int depth, const QByteArray& text) {
        m_out.append(QByteArray(depth, '\t')).append(text).append('\n');
    }
    // Control characters other than white space have no XML 1.0 form; they are
    // written as character references, which this reader takes back.
    static QByteArray escaped(const QString& text) {
        QByteArray out;
        for (const char c : text.toUtf8()) {
            const uchar u = uchar(c);
            if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (u < 0x20 && c != '\t' && c != '\n' && c != '\r')
                out += "&#" + QByteArray::number(u) + ';';
            else
                out += c;
        }
        return out;
    }
    static QByteArray element(const char* name, const QByteArray& text) {
        return QByteArray("<") + name + '>' + text + "</" + name + '>';
    }

    bool value(const QVariant& v, int depth) {
        const int indent = depth;
        switch (kindOf(v)) {
        case Kind::Invalid:
            m_error = QStringLiteral("The value of type %1 has no property-list form.")
                          .arg(QString::fromLatin1(v.typeName()));
            return false;
        case Kind::Dictionary:
        case Kind::Array: {
            if (depth >= kMaxDepth) {
                m_error = tooDeep();
                return false;
            }
            const bool isDict = kindOf(v) == Kind::Dictionary;
            line(indent, isDict ? "<dict>" : "<array>");
            if (isDict) {
                const QVariantMap map = v.toMap();
                for (auto it = map.cbegin(); it != map.cend(); ++it) {
                    line(indent + 1, element("key", escaped(it.key())));
                    if (!value(it.value(), depth + 1))
                        return false;
                }
            } else {
                for (const QVariant& item : v.toList())
                    if (!value(item, depth + 1))
                        return false;
            }
            line(indent, isDict ? "</dict>" : "</array>");
            return true;
        }
        case Kind::String:
            line(indent, element("string", escaped(v.toString())));
            return true;
        case Kind::Integer:
            line(indent, element("integer", QByteArray::number(v.toLongLong())));
            return true;
        case Kind::Unsigned:
            line(indent, element("integer", QByteArray::number(v.toULongLong())));
            return true;
        case Kind::Real:
            line(indent, element("real", QByteArray::number(v.toDouble(), 'g', 17)));
            return true;
        case Kind::Boolean:
            line(indent, v.toBool() ? "<true/>" : "<false/>");
            return true;
        case Kind::Date: {
            // Whole seconds, the only form every reader accepts.
            const QDateTime date = QDateTime::fromMSecsSinceEpoch(
                qint64(std::floor(secondsFromDate(v))) * 1000 + qint64(978307200) * 1000,
                QTimeZone::utc());
            line(indent,
                 element("date",
                         date.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'")).toLatin1()));
            return true;
        }
        case Kind::Data:
            line(indent, element("data", v.toByteArray().toBase64()));
            return true;
        case Kind::Uid:
            line(indent, "<dict>");
            line(indent + 1, "<key>CF$UID</key>");
            line(indent + 1, element("integer", QByteArray::number(v.value<PlistUid>().value)));
            line(indent, "</dict>");
            return true;
        }
        return false;
    }

    QByteArray m_out;
    QString m_error;
};

} // namespace

Result<QVariant> decodeXml(const QByteArray& bytes) {
    return XmlReader(bytes).read();
}

Result<QByteArray> encodeXml(const QVariant& value) {
    return XmlWriter().write(value);
}

} // namespace qrv::plist::detail
