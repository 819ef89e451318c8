#include "telemetry/TLMDataFolder.h"

#include "platform/AppInfo.h"
#include "platform/PreferencesHome.h"
#include "telemetry/TLMLogging.h"

#include <QDir>

namespace qrv {

QString TLMDataFolder::pathForHome(const QString& home) {
    return PreferencesHome::applicationSupportFolder(home) + QLatin1Char('/') +
           QLatin1String(appinfo::kBundleIdentifier) + QStringLiteral("/telemetry");
}

QString TLMDataFolder::forHome(const QString& home) {
    const QString folder = pathForHome(home);
    if (!QDir().mkpath(folder))
        qCWarning(lcTelemetry) << "Could not create the telemetry folder" << folder;
    return folder;
}

} // namespace qrv
