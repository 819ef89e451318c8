#include "CliText.h"

namespace qrv::cli {

static bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString unescapeArgument(const QString& argument) {
    QString result;
    result.reserve(argument.size());
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const QStringView rest = QStringView(argument).mid(i);
        if (rest.size() >= 6 && rest.startsWith(u"\\u") &&
            std::all_of(rest.begin() + 2, rest.begin() + 6, isHexDigit)) {
            result += QChar(rest.mid(2, 4).toUShort(nullptr, 16));
            i += 5;
        } else {
            result += argument.at(i);
        }
    }
    return result;
}

QString escapeForDisplay(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0xF700 && code <= 0xF8FF))
            result += QStringLiteral("\\u") +
                      QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
        else
            result += c;
    }
    return result;
}

} // namespace qrv::cli
