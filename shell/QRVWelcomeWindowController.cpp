#include "shell/QRVWelcomeWindowController.h"

#include "platform/AppInfo.h"
#include "shell/QRVWelcomeViewController.h"

namespace qrv {
namespace {

QString applicationName() {
    return QString::fromLatin1(appinfo::kApplicationName);
}

} // namespace

QRVWelcomeWindowController::QRVWelcomeWindowController(AccessKit& accessKit, Workspace& workspace,
                                                       UserDefaults& defaults, Scheduler& scheduler,
                                                       QObject* parent)
    : QRVWelcomeWindowController(new QRVWelcomeViewController(accessKit, workspace, scheduler),
                                 defaults, scheduler, parent) {}

QRVWelcomeWindowController::QRVWelcomeWindowController(QRVWelcomeViewController* content,
                                                       UserDefaults& defaults, Scheduler& scheduler,
                                                       QObject* parent)
    : QRVPermissionsWindowController(
          {QStringLiteral("QRVWelcomeWindow"), tr("Welcome to %1").arg(applicationName()),
           tr("Welcome to %1").arg(applicationName()),
           tr("%1 needs two permissions to give your applications' menu commands keyboard "
              "shortcuts. Grant them in the system's privacy settings, then come back here.")
               .arg(applicationName()),
           1.5, QSize(480, 300)},
          content->view(), defaults, scheduler, parent)
    , m_welcomeViewController(content) {
    content->setParent(this);
}

} // namespace qrv
