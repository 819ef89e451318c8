#include "model/SupportDirectory.h"

#include "platform/AppInfo.h"
#include "platform/PreferencesHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace qrv {

static Result<QString> createSupportDirectory(const QString& home) {
    if (home.isEmpty())
        return makeError(QCoreApplication::translate("SupportDirectory",
                                                     "There is no Application Support folder."));
    const QString path = PreferencesHome::applicationSupportFolder(home) + QLatin1Char('/') +
                         QString::fromLatin1(appinfo::kBundleIdentifier);
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir())
        return makeError(
            QCoreApplication::translate("SupportDirectory", "The folder “%1” could not be created.")
                .arg(path));
    return QFileInfo(path).canonicalFilePath();
}

namespace {
QMutex g_directoriesLock;
QHash<QString, Result<QString>> g_directories; // by home
} // namespace

Result<QString> menuShortcutsSupportDirectory(const QString& home) {
    QMutexLocker lock(&g_directoriesLock);
    auto found = g_directories.constFind(home);
    if (found == g_directories.constEnd())
        found = g_directories.insert(home, createSupportDirectory(home));
    return *found;
}

void resetSupportDirectories() {
    QMutexLocker lock(&g_directoriesLock);
    g_directories.clear();
}

} // namespace qrv
