#pragma once

#include <QString>

namespace qrv {

// Orders version strings the way people read them: numbers by value
// ("2.10" after "2.9", "1.0" equals "1.0.0"), and a pre-release word before
// the release it leads to ("2.0b1" before "2.0").
struct UPDVersionComparator {
    // Negative, zero or positive, as a is older than, equal to or newer than b.
    static int compareVersions(const QString& a, const QString& b);
};

} // namespace qrv
