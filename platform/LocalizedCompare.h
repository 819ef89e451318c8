#pragma once

#include <QString>

namespace qrv {

// The platform's localized standard comparison, the order a file browser
// shows names in: by the user's language, ignoring case, and comparing runs
// of digits by their value ("File 9" before "File 10"). In the C locale the
// order is that of English. Safe from any thread.
int localizedStandardCompare(const QString& a, const QString& b);

inline bool localizedStandardLessThan(const QString& a, const QString& b) {
    return localizedStandardCompare(a, b) < 0;
}

} // namespace qrv
