#pragma once

#include "platform/PermissionStatus.h"

namespace qrv {

class Accessibility;

// What stands for the permissions here: assistive access is granted when the
// accessibility implementation in use can read menus, full disk access when
// the preference folders of the home can be read and written
// (access::preferencesFolderProblem). Both are read afresh on every call.
// Other identifiers are not determined.
class LinuxPermissionStatus final : public PermissionStatus {
  public:
    LinuxPermissionStatus(QString preferencesHome, const Accessibility& accessibility);
    int authorizationStatus(const QString& permission) const override;

  private:
    QString m_home;
    const Accessibility& m_accessibility;
};

} // namespace qrv
