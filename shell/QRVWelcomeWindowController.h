#pragma once

#include "shell/QRVWindowController.h"

namespace qrv {

class PermissionStatus;
class QRVPermissionsView;

// The window start-up shows while a permission is missing: what the program
// needs and which of it is granted. It stays until the user closes it.
class QRVWelcomeWindowController : public QRVWindowController {
    Q_OBJECT
  public:
    QRVWelcomeWindowController(PermissionStatus& permissions, UserDefaults& defaults,
                               Scheduler& scheduler, QObject* parent = nullptr);

    QRVPermissionsView* permissionsView() const { return m_permissionsView; }

  private:
    QRVPermissionsView* m_permissionsView = nullptr;
};

} // namespace qrv
