#pragma once

#include "platform/plist/PlistCodec.h"
#include "support/HelperPrograms.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A home the tool runs on, with the files it writes read back.
struct CliHome : TempHome {
    CliResult cli(const QStringList& arguments, const QMap<QString, QString>& env = {}) const {
        return runCli(arguments, path(), env);
    }
    // A preferences file as the property-list reader sees it.
    QVariantMap plist(const QString& domain) const {
        QFile file(preferencesFile(domain));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const auto decoded = plist::decode(file.readAll());
        return decoded ? decoded->toMap() : QVariantMap();
    }
    QVariant table(const QString& domain) const {
        return plist(domain).value(QStringLiteral("NSUserKeyEquivalents"));
    }
    QString write(const QString& name, const QByteArray& content) const {
        const QString path = file(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        if (out.open(QIODevice::WriteOnly))
            out.write(content);
        return path;
    }
};

} // namespace qrv::testing
