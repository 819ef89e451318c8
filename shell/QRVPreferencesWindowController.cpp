#include "shell/QRVPreferencesWindowController.h"

#include "platform/AppInfo.h"
#include "shell/QRVPreferencesViewController.h"

namespace qrv {

QRVPreferencesWindowController::QRVPreferencesWindowController(AccessKit& accessKit,
                                                               UserDefaults& defaults,
                                                               Scheduler& scheduler,
                                                               QObject* parent)
    : QRVPreferencesWindowController(new QRVPreferencesViewController(accessKit), defaults,
                                     scheduler, parent) {}

QRVPreferencesWindowController::QRVPreferencesWindowController(
    QRVPreferencesViewController* content, UserDefaults& defaults, Scheduler& scheduler,
    QObject* parent)
    : QRVPermissionsWindowController(
          {QStringLiteral("QRVPreferencesWindow"),
           tr("%1 Preferences").arg(QString::fromLatin1(appinfo::kApplicationName)),
           tr("Permissions"),
           {},
           1.0,
           QSize(460, 220)},
          content->view(), defaults, scheduler, parent)
    , m_preferencesViewController(content) {
    content->setParent(this);
}

} // namespace qrv
