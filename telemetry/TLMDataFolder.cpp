#include "telemetry/TLMDataFolder.h"

#include "platform/AppInfo.h"
#include "platform/Platform.h"
#include "platform/PreferencesHome.h"
#include "telemetry/TLMLogging.h"

#include <QDir>

namespace qrv {

QString TLMDataFolder::path() {
    // Without an installed platform (a tool run before start-up), fall back on
    // the home the program would choose, never on the working folder.
    QString home = platform().home;
    if (home.isEmpty())
        home = PreferencesHome::resolve({});
    const QString folder = PreferencesHome::applicationSupportFolder(home) + QLatin1Char('/') +
                           QLatin1String(appinfo::kBundleIdentifier) + QStringLiteral("/telemetry");
    if (!QDir().mkpath(folder))
        qCWarning(lcTelemetry) << "Could not create the telemetry folder" << folder;
    return folder;
}

QString TLMDataFolder::filePath(const QString& fileName) {
    return path() + QLatin1Char('/') + fileName;
}

} // namespace qrv
