#include "platform/plist/StringsFile.h"

#include "platform/plist/PlistCodec.h"

#include <QStringDecoder>

namespace qrv::plist {

namespace {

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff") ||
        bytes.startsWith("\xef\xbb\xbf")) {
        auto encoding = QStringConverter::encodingForData(bytes);
        QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8),
                               QStringDecoder::Flag::Stateless);
        return decoder.decode(bytes);
    }
    // UTF-16 without a byte-order mark shows itself by zero bytes in ASCII text.
    if (bytes.size() >= 2 && bytes.at(1) == '\0' && bytes.at(0) != '\0')
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes);
    if (bytes.size() >= 2 && bytes.at(0) == '\0' && bytes.at(1) != '\0')
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes);
    return QString::fromUtf8(bytes);
}

bool isUnquotedChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c == u':' || c == u'/' ||
           c == u'-';
}

class Parser {
  public:
    explicit Parser(QString text)
        : m_text(std::move(text)) {}

    Result<QVariantMap> parse() {
        QVariantMap entries;
        while (skipSpaceAndComments(), !atEnd()) {
            auto key = token();
            if (!key)
                return fail(key.error());
            skipSpaceAndComments();
            QString value = *key;
            if (peek() == u'=') {
                ++m_pos;
                skipSpaceAndComments();
                auto parsed = token();
                if (!parsed)
                    return fail(parsed.error());
                value = *parsed;
                skipSpaceAndComments();
            }
            if (peek() != u';')
                return fail(QStringLiteral("expected “;”"));
            ++m_pos;
            entries.insert(*key, value);
        }
        return entries;
    }

  private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text.at(m_pos); }

    Error fail(const QString& what) const {
        const qsizetype line = m_text.left(m_pos).count(u'\n') + 1;
        return makeError(QStringLiteral("line %1: %2").arg(line).arg(what));
    }

    void skipSpaceAndComments() {
        while (!atEnd()) {
            if (peek().isSpace()) {
                ++m_pos;
            } else if (m_text.mid(m_pos, 2) == QLatin1String("//")) {
                const qsizetype end = m_text.indexOf(u'\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else if (m_text.mid(m_pos, 2) == QLatin1String("/*")) {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
                m_pos = end < 0 ? m_text.size() : end + 2;
            } else {
                return;
            }
        }
    }

    Result<QString> token() {
        if (peek() == u'"')
            return quoted();
        const qsizetype start = m_pos;
        while (!atEnd() && isUnquotedChar(peek()))
            ++m_pos;
        if (m_pos == start)
            return makeError(QStringLiteral("expected a string"));
        return m_text.mid(start, m_pos - start);
    }

    Result<QString> quoted() {
        ++m_pos; // opening quote
        QString out;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos++);
            if (c == u'"')
                return out;
            if (c != u'\\') {
                out.append(c);
                continue;
            }
            if (atEnd())
                break;
            const QChar e = m_text.at(m_pos++);
            switch (e.unicode()) {
            case 'n':
                out.append(u'\n');
                break;
            case 't':
                out.append(u'\t');
                break;
            case 'r':
                out.append(u'\r');
                break;
            case 'a':
                out.append(u'\a');
                break;
            case 'b':
                out.append(u'\b');
                break;
            case 'f':
                out.append(u'\f');
                break;
            case 'v':
                out.append(u'\v');
                break;
            case 'U':
            case 'u': {
                bool ok = false;
                const ushort code = m_text.mid(m_pos, 4).toUShort(&ok, 16);
                if (!ok)
                    return makeError(QStringLiteral("bad \\U escape"));
                m_pos += 4;
                out.append(QChar(code));
                break;
            }
            default:
                if (e >= u'0' && e <= u'7') {
                    const qsizetype start = m_pos - 1;
                    qsizetype end = m_pos;
                    while (end < start + 3 && end < m_text.size() && m_text.at(end) >= u'0' &&
                           m_text.at(end) <= u'7')
                        ++end;
                    out.append(QChar(m_text.mid(start, end - start).toUShort(nullptr, 8)));
                    m_pos = end;
                } else {
                    out.append(e); // \" \\ and any other character stand for themselves
                }
            }
        }
        return makeError(QStringLiteral("unterminated string"));
    }

    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace

Result<QVariantMap> decodeStrings(const QByteArray& bytes) {
    if (bytes.startsWith("bplist") || bytes.trimmed().startsWith("<?xml") ||
        bytes.trimmed().startsWith("<plist")) {
        auto decoded = decode(bytes);
        if (!decoded)
            return makeError(decoded.error());
        if (decoded->typeId() != QMetaType::QVariantMap)
            return makeError(QStringLiteral("the property list is not a dictionary"));
        return decoded->toMap();
    }
    Parser parser(decodeText(bytes));
    return parser.parse();
}

} // namespace qrv::plist
