#include "CliText.h"

#include <QCoreApplication>

namespace qrv::cli {

namespace {

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A backslash, "u" and four hex digits at the start of the text.
bool startsWithEscape(QStringView text) {
    return text.size() >= 6 && text.startsWith(u"\\u") &&
           std::all_of(text.begin() + 2, text.begin() + 6, isHexDigit);
}

bool mustBeEscaped(char16_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
           (code >= 0xF700 && code <= 0xF8FF);
}

} // namespace

Result<QString> unescapeArgument(const QString& argument) {
    QString result;
    result.reserve(argument.size());
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const QStringView rest = QStringView(argument).mid(i);
        if (startsWithEscape(rest)) {
            const char16_t code = rest.mid(2, 4).toUShort(nullptr, 16);
            if (code == 0)
                return makeError(tr("“\\u0000” stands for U+0000, which no title or key can hold"));
            result += QChar(code);
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
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        if (mustBeEscaped(code) || (code == u'\\' && startsWithEscape(QStringView(text).mid(i))))
            result += QStringLiteral("\\u") +
                      QString::number(code, 16).rightJustified(4, QLatin1Char('0')).toUpper();
        else
            result += text.at(i);
    }
    return result;
}

QString quotedForMessage(const QString& text) {
    constexpr qsizetype kLongest = 40;
    if (text.size() <= kLongest)
        return escapeForDisplay(text);
    const qsizetype cut = text.at(kLongest - 1).isHighSurrogate() ? kLongest - 1 : kLongest;
    return escapeForDisplay(text.left(cut)) + QChar(0x2026);
}

QString tr(const char* text) {
    return QCoreApplication::translate("quorvane-cli", text);
}

} // namespace qrv::cli
