#pragma once

#include "shell/QRVPermissionsWindowController.h"

namespace qrv {

class AccessKit;
class QRVWelcomeViewController;
class Workspace;

// The window start-up shows while a permission is missing: what the program
// needs, with a button for each permission (QRVWelcomeViewController). It
// stays until the user closes it.
class QRVWelcomeWindowController : public QRVPermissionsWindowController {
    Q_OBJECT
  public:
    QRVWelcomeWindowController(AccessKit& accessKit, Workspace& workspace, UserDefaults& defaults,
                               Scheduler& scheduler, QObject* parent = nullptr);
    QRVWelcomeViewController* welcomeViewController() const { return m_welcomeViewController; }

  private:
    QRVWelcomeWindowController(QRVWelcomeViewController* content, UserDefaults& defaults,
                               Scheduler& scheduler, QObject* parent);

    QRVWelcomeViewController* m_welcomeViewController;
};

} // namespace qrv
