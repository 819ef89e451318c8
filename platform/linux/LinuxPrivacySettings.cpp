#include "platform/linux/LinuxPrivacySettings.h"

#include "platform/linux/PreferencesAccess.h"

namespace qrv {

std::optional<FolderProblem> LinuxPrivacySettings::preferencesFolderProblem() const {
    return access::preferencesFolderProblem(m_home);
}

std::optional<SettingsProgram> LinuxPrivacySettings::accessibilitySettings() const {
    return access::accessibilitySettings(m_search);
}

} // namespace qrv
