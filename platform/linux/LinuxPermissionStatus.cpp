#include "platform/linux/LinuxPermissionStatus.h"

#include "platform/Accessibility.h"

#include <QFile>
#include <unistd.h>

namespace qrv {

LinuxPermissionStatus::LinuxPermissionStatus(QString preferencesHome,
                                             const Accessibility& accessibility)
    : m_preferencesFolder(preferencesHome + QStringLiteral("/Library/Preferences"))
    , m_accessibility(accessibility) {}

int LinuxPermissionStatus::authorizationStatus(const QString& permission) const {
    if (permission == kAssistive)
        return m_accessibility.canReadMenus() ? kGranted : kNotDetermined;
    if (permission == kFullDiskAccess) {
        // access(2) answers for this process, including read-only mounts and ACLs.
        return ::access(QFile::encodeName(m_preferencesFolder).constData(), W_OK | X_OK) == 0
                   ? kGranted
                   : kNotDetermined;
    }
    return kNotDetermined;
}

} // namespace qrv
