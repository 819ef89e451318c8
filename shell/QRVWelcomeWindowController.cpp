#include "shell/QRVWelcomeWindowController.h"

#include "platform/AppInfo.h"

namespace qrv {
namespace {

QString applicationName() {
    return QString::fromLatin1(appinfo::kApplicationName);
}

} // namespace

QRVWelcomeWindowController::QRVWelcomeWindowController(PermissionStatus& permissions,
                                                       UserDefaults& defaults, Scheduler& scheduler,
                                                       QObject* parent)
    : QRVPermissionsWindowController(
          {QStringLiteral("QRVWelcomeWindow"), tr("Welcome to %1").arg(applicationName()),
           tr("Welcome to %1").arg(applicationName()),
           tr("%1 needs two permissions to give your applications' menu commands keyboard "
              "shortcuts. Grant them in the system's privacy settings, then come back here.")
               .arg(applicationName()),
           1.5, QSize(480, 300)},
          permissions, defaults, scheduler, parent) {}

} // namespace qrv
