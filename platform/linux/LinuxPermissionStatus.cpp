#include "platform/linux/LinuxPermissionStatus.h"

#include "platform/Accessibility.h"
#include "platform/linux/PreferencesAccess.h"

namespace qrv {

LinuxPermissionStatus::LinuxPermissionStatus(QString preferencesHome,
                                             const Accessibility& accessibility)
    : m_home(std::move(preferencesHome))
    , m_accessibility(accessibility) {}

int LinuxPermissionStatus::authorizationStatus(const QString& permission) const {
    if (permission == kAssistive)
        return m_accessibility.canReadMenus() ? kGranted : kNotDetermined;
    if (permission == kFullDiskAccess)
        return access::preferencesFolderProblem(m_home) ? kNotDetermined : kGranted;
    return kNotDetermined;
}

} // namespace qrv
