#pragma once

#include "shell/QRVPermissionsWindowController.h"

namespace qrv {

// The preferences window: for now the state of the two permissions the
// program needs; the permissions pane with its own controls takes this place
// once the permissions library is in.
class QRVPreferencesWindowController : public QRVPermissionsWindowController {
    Q_OBJECT
  public:
    QRVPreferencesWindowController(PermissionStatus& permissions, UserDefaults& defaults,
                                   Scheduler& scheduler, QObject* parent = nullptr);
};

} // namespace qrv
