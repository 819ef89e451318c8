#pragma once

#include <QString>

namespace qrv {

class Accessibility;
class AlertPresenter;
class DistributedNotifications;
class HotKeys;
class KeyboardLayout;
class Pasteboard;
class PermissionStatus;
class PreferenceStore;
class Scheduler;
class UserDefaults;
class Workspace;

// The services the program runs on, handed to the objects that use them
// (a constructor parameter kept as a member, or the first parameter of a
// class operation). Every service is required, so a member is a reference:
// a program that cannot provide one fails at start-up, not later with a
// silent no-op. Only the composition roots build one: NativePlatform for the
// executables, the fixtures in tests/support for the tests.
//
// Services belong to the main thread unless their interface says otherwise;
// background work is handed values, never a Services.
struct Services {
    QString home; // the preferences home (see PreferencesHome)
    PreferenceStore& preferences;
    UserDefaults& userDefaults;
    Scheduler& scheduler;
    KeyboardLayout& keyboardLayout;
    Accessibility& accessibility;
    Workspace& workspace;
    PermissionStatus& permissions;
    DistributedNotifications& notifications;
    HotKeys& hotKeys; // the system-wide shortcuts
};

// What a program with windows has besides: modal alerts and the general
// pasteboard. A command-line tool has neither.
struct DesktopServices : Services {
    AlertPresenter& alerts;
    Pasteboard& pasteboard;
};

} // namespace qrv
