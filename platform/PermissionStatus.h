#pragma once

#include <QString>

namespace qrv {

// Privacy permissions of this program (accessibility, full disk access), as
// the permissions library's status centre reports them. A permission counts
// as granted when its status is kGranted.
class PermissionStatus {
  public:
    static constexpr int kNotDetermined = 0;
    static constexpr int kDenied = 1;
    static constexpr int kGranted = 2;
    static inline const QString kFullDiskAccess = QStringLiteral("AccessKitPrivacyFullDiskAccess");
    static inline const QString kAssistive = QStringLiteral("AccessKitPrivacyAssistive");

    virtual ~PermissionStatus() = default;
    // privacyAuthorizationStatusForIdentifier:; unknown permissions are kNotDetermined.
    virtual int authorizationStatus(const QString& permission) const = 0;

    bool isGranted(const QString& permission) const {
        return authorizationStatus(permission) == kGranted;
    }
};

} // namespace qrv
