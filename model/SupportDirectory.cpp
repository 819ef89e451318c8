#include "model/SupportDirectory.h"

#include "platform/AppInfo.h"
#include "platform/Platform.h"
#include "platform/PreferencesHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace qrv {

static Result<QString> createSupportDirectory() {
    const QString home = platform().home;
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

Result<QString> menuShortcutsSupportDirectory() {
    static const Result<QString> directory = createSupportDirectory();
    return directory;
}

} // namespace qrv
