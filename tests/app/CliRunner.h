#pragma once

#include "support/HelperPrograms.h"

#include <QMap>
#include <QProcess>
#include <QStringList>

namespace qrv::testing {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built quorvane-cli with the U.S. layout unless the test names one.
inline CliResult runCli(const QStringList& arguments, const QString& home = QString(),
                        const QMap<QString, QString>& extraEnvironment = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = extraEnvironment.begin(); it != extraEnvironment.end(); ++it)
        environment.insert(it.key(), it.value());
    environment.insert(QStringLiteral("XKB_DEFAULT_LAYOUT"), QStringLiteral("us"));
    environment.remove(QStringLiteral("XKB_DEFAULT_VARIANT"));
    process.setProcessEnvironment(environment);
    QStringList all;
    if (!home.isEmpty())
        all << QStringLiteral("--home") << home;
    process.start(qrv::testing::helperProgram(QStringLiteral("quorvane-cli")), all + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace qrv::testing
