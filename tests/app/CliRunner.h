#pragma once

#include <QProcess>
#include <QStringList>

namespace qrv::testing {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built quorvane-cli with the U.S. layout unless the test names one.
inline CliResult runCli(const QStringList& arguments, const QString& home = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XKB_DEFAULT_LAYOUT"), QStringLiteral("us"));
    environment.remove(QStringLiteral("XKB_DEFAULT_VARIANT"));
    process.setProcessEnvironment(environment);
    QStringList all;
    if (!home.isEmpty())
        all << QStringLiteral("--home") << home;
    process.start(QStringLiteral(QRV_BINARY_DIR "/bin/quorvane-cli"), all + arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace qrv::testing
