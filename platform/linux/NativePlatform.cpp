#include "platform/NativePlatform.h"

#include "platform/AppInfo.h"
#include "platform/PreferencesHome.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/qt/QtScheduler.h"
// Menus, applications, permissions:
#include "platform/linux/LinuxPermissionStatus.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/qt/QtAccessibility.h"

namespace qrv {

struct NativePlatform::Parts {
    std::unique_ptr<PlistFilePreferenceStore> preferences;
    std::unique_ptr<UserDefaults> userDefaults;
    std::unique_ptr<QtScheduler> scheduler;
    // Menus, applications, permissions:
    std::unique_ptr<QtAccessibility> accessibility;
    std::unique_ptr<LinuxWorkspace> workspace;
    std::unique_ptr<LinuxPermissionStatus> permissions;
};

Result<std::unique_ptr<NativePlatform>> NativePlatform::create(const QString& home) {
    auto prepared = PreferencesHome::prepare(home);
    if (!prepared)
        return makeError(prepared.error());
    std::unique_ptr<NativePlatform> native(new NativePlatform);
    native->m_parts = std::make_unique<Parts>();
    Parts& parts = *native->m_parts;
    parts.preferences = std::make_unique<PlistFilePreferenceStore>(*prepared);
    parts.userDefaults = std::make_unique<UserDefaults>(
        *parts.preferences, QString::fromLatin1(appinfo::kBundleIdentifier));
    parts.scheduler = std::make_unique<QtScheduler>();
    // Menus, applications, permissions:
    parts.accessibility = std::make_unique<QtAccessibility>();
    parts.workspace = std::make_unique<LinuxWorkspace>(*prepared);
    parts.permissions = std::make_unique<LinuxPermissionStatus>(*prepared, *parts.accessibility);

    PlatformServices& s = native->m_services;
    s.home = *prepared;
    s.preferences = parts.preferences.get();
    s.userDefaults = parts.userDefaults.get();
    s.scheduler = parts.scheduler.get();
    // Menus, applications, permissions:
    s.accessibility = parts.accessibility.get();
    s.workspace = parts.workspace.get();
    s.permissions = parts.permissions.get();
    return native;
}

NativePlatform::~NativePlatform() {
    // Uninstall what we own so nothing reaches a destroyed service.
    if (platform().preferences == m_services.preferences)
        platform() = PlatformServices{};
}

void NativePlatform::install() const {
    platform() = m_services;
}

} // namespace qrv
