#pragma once

#include "platform/PermissionStatus.h"

namespace qrv {

class Accessibility;

// What stands for the permissions here: assistive access is granted when the
// accessibility implementation in use can read menus, full disk access when
// the preferences folder of the home (Library/Preferences) is writable.
// Anything else is not determined; there is nothing to ask the user for.
class LinuxPermissionStatus final : public PermissionStatus {
  public:
    LinuxPermissionStatus(QString preferencesHome, const Accessibility& accessibility);
    int authorizationStatus(const QString& permission) const override;

  private:
    QString m_preferencesFolder;
    const Accessibility& m_accessibility;
};

} // namespace qrv
