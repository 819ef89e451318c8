#pragma once

#include <QString>

namespace qrv {

// Quotes a string for a POSIX shell: enclosed in single quotes, each single
// quote within written as '\''. Safe for any content, line breaks included,
// so a command we show or run means exactly the path it names.
inline QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

} // namespace qrv
