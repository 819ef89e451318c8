#pragma once

#include "shell/QRVPermissionsWindowController.h"

namespace qrv {

class AccessKit;
class QRVPreferencesViewController;

// The preferences window: the permissions pane (QRVPreferencesViewController).
class QRVPreferencesWindowController : public QRVPermissionsWindowController {
    Q_OBJECT
  public:
    QRVPreferencesWindowController(AccessKit& accessKit, UserDefaults& defaults,
                                   Scheduler& scheduler, QObject* parent = nullptr);
    QRVPreferencesViewController* preferencesViewController() const {
        return m_preferencesViewController;
    }

  private:
    QRVPreferencesWindowController(QRVPreferencesViewController* content, UserDefaults& defaults,
                                   Scheduler& scheduler, QObject* parent);

    QRVPreferencesViewController* m_preferencesViewController;
};

} // namespace qrv
