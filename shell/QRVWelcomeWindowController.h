#pragma once

#include "shell/QRVPermissionsWindowController.h"

namespace qrv {

// The window start-up shows while a permission is missing: what the program
// needs and which of it is granted. It stays until the user closes it.
class QRVWelcomeWindowController : public QRVPermissionsWindowController {
    Q_OBJECT
  public:
    QRVWelcomeWindowController(PermissionStatus& permissions, UserDefaults& defaults,
                               Scheduler& scheduler, QObject* parent = nullptr);
};

} // namespace qrv
