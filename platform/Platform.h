#pragma once

#include <QString>

namespace qrv {

class AlertPresenter;
class Accessibility;
class DistributedNotifications;
class KeyboardLayout;
class Pasteboard;
class PermissionStatus;
class PreferenceStore;
class Scheduler;
class UserDefaults;
class Workspace;

// The former global registry, still read by telemetry/ until it takes its
// services as parameters like every other module (see Services.h). Nothing
// else may include this header; scripts/check-layers.sh says so.
// A service that was not installed is null.
struct PlatformServices {
    QString home; // the preferences home (see PreferencesHome)
    PreferenceStore* preferences = nullptr;
    UserDefaults* userDefaults = nullptr;
    Scheduler* scheduler = nullptr;
    AlertPresenter* alerts = nullptr;
    KeyboardLayout* keyboardLayout = nullptr;
    Accessibility* accessibility = nullptr;
    Workspace* workspace = nullptr;
    PermissionStatus* permissions = nullptr;
    DistributedNotifications* notifications = nullptr;
    Pasteboard* pasteboard = nullptr;
};

// The installed services. Install on the main thread before other threads start.
PlatformServices& platform();

// Installs services for a scope and restores the previous ones when it ends.
class ScopedPlatform {
  public:
    explicit ScopedPlatform(const PlatformServices& services);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

  private:
    PlatformServices m_previous;
};

} // namespace qrv
