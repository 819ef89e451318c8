#pragma once

#include <QCoreApplication>
#include <QString>

namespace qrv::testing {

// A program built beside the test executables (the command-line tool, the
// application, the tests' helpers), found next to the running test, so a
// build folder can move or be copied.
inline QString helperProgram(const QString& name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
}

} // namespace qrv::testing
