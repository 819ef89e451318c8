#pragma once

#include <QString>

namespace qrv {

class AlertPresenter;
class Accessibility;
class DistributedNotifications;
class HotKeys;
class KeyboardLayout;
class Pasteboard;
class PermissionStatus;
class PreferenceStore;
class Scheduler;
class SystemLog;
class UserDefaults;
class Workspace;

// The platform services the program runs on. The program's class operations
// (the store, the conversions) reach the services through here; the
// application installs the real ones at start, tests install doubles.
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
    HotKeys* hotKeys = nullptr;
    Pasteboard* pasteboard = nullptr;
    SystemLog* systemLog = nullptr;
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
