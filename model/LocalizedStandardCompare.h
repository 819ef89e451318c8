#pragma once

#include <QString>

namespace qrv {

// The order of file names in the file browser, shared by every sorted list of
// the program: case ignored, runs of digits compared by their value ("Item 2"
// before "item 10"). The same under every locale setting of the process,
// including LANG=C.UTF-8. Safe from any thread.
int localizedStandardCompare(const QString& a, const QString& b);

struct LocalizedStandardLess {
    bool operator()(const QString& a, const QString& b) const {
        return localizedStandardCompare(a, b) < 0;
    }
};

} // namespace qrv
