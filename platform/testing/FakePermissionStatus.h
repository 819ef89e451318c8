#pragma once

#include "platform/PermissionStatus.h"

#include <QHash>

namespace qrv::testing {

// Permission states the test sets; both start granted.
class FakePermissionStatus final : public PermissionStatus {
  public:
    FakePermissionStatus() {
        m_status.insert(kAssistive, kGranted);
        m_status.insert(kFullDiskAccess, kGranted);
    }
    void set(const QString& permission, int status) { m_status.insert(permission, status); }
    int authorizationStatus(const QString& permission) const override {
        return m_status.value(permission, kNotDetermined);
    }

  private:
    QHash<QString, int> m_status;
};

} // namespace qrv::testing
