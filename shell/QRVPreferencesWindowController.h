#pragma once

#include "shell/QRVWindowController.h"

namespace qrv {

class PermissionStatus;
class QRVPermissionsView;

// The preferences window: for now the state of the two permissions the
// program needs; the permissions pane with its own controls takes this place
// once the permissions library is in.
class QRVPreferencesWindowController : public QRVWindowController {
    Q_OBJECT
  public:
    QRVPreferencesWindowController(PermissionStatus& permissions, UserDefaults& defaults,
                                   Scheduler& scheduler, QObject* parent = nullptr);

    QRVPermissionsView* permissionsView() const { return m_permissionsView; }

  private:
    QRVPermissionsView* m_permissionsView = nullptr;
};

} // namespace qrv
