#include "platform/PreferencesHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qrv {

QString PreferencesHome::fromArguments(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--home") && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arg.startsWith(QLatin1String("--home=")))
            return arg.mid(7);
    }
    return {};
}

QString PreferencesHome::resolve(const QString& explicitHome) {
    QString home = explicitHome;
    if (home.isEmpty())
        home = qEnvironmentVariable("QUORVANE_HOME");
    if (home.isEmpty())
        home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/quorvane/home");
    return QDir::cleanPath(QDir(home).absolutePath());
}

static Result<void> ensureWritableFolder(const QString& path) {
    QFileInfo info(path);
    if (info.exists() && !info.isDir())
        return makeError(QCoreApplication::translate("PreferencesHome",
                                                     "The preferences folder “%1” is not a folder.")
                             .arg(path));
    if (!QDir().mkpath(path))
        return makeError(QCoreApplication::translate(
                             "PreferencesHome", "The preferences folder “%1” could not be created.")
                             .arg(path));
    QTemporaryFile probe(path + QStringLiteral("/.quorvane-write-test-XXXXXX"));
    if (!probe.open())
        return makeError(QCoreApplication::translate("PreferencesHome",
                                                     "The preferences folder “%1” is not writable.")
                             .arg(path));
    return success();
}

Result<QString> PreferencesHome::prepare(const QString& home) {
    if (auto r = ensureWritableFolder(home); !r)
        return makeError(r.error());
    if (auto r = ensureWritableFolder(preferencesFolder(home)); !r)
        return makeError(r.error());
    return home;
}

QString PreferencesHome::prepareWherePossible(const QString& home) {
    QDir().mkpath(preferencesFolder(home)); // a failure is the permission check's to explain
    return home;
}

QString PreferencesHome::preferencesFolder(const QString& home) {
    return home + QStringLiteral("/Library/Preferences");
}

QString PreferencesHome::applicationSupportFolder(const QString& home) {
    return home + QStringLiteral("/Library/Application Support");
}

} // namespace qrv
