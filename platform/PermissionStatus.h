#pragma once

#include <QString>

namespace qrv {

// Privacy permissions of this program (accessibility, full disk access).
// A permission counts as granted when its status is kGranted.
// (Implemented by the menus work; refine there.)
class PermissionStatus {
  public:
    static constexpr int kGranted = 2;
    static inline const QString kFullDiskAccess = QStringLiteral("AccessKitPrivacyFullDiskAccess");
    static inline const QString kAssistive = QStringLiteral("AccessKitPrivacyAssistive");

    virtual ~PermissionStatus() = default;
    virtual int authorizationStatus(const QString& permission) const = 0;
};

} // namespace qrv
