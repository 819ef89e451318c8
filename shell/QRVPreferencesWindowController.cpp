#include "shell/QRVPreferencesWindowController.h"

#include "platform/AppInfo.h"

namespace qrv {

QRVPreferencesWindowController::QRVPreferencesWindowController(PermissionStatus& permissions,
                                                               UserDefaults& defaults,
                                                               Scheduler& scheduler,
                                                               QObject* parent)
    : QRVPermissionsWindowController(
          {QStringLiteral("QRVPreferencesWindow"),
           tr("%1 Preferences").arg(QString::fromLatin1(appinfo::kApplicationName)),
           tr("Permissions"),
           {},
           1.0,
           QSize(460, 220)},
          permissions, defaults, scheduler, parent) {}

} // namespace qrv
