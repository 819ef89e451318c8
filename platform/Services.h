#pragma once

#include <QString>

namespace qrv {

class AccessKit;
class Accessibility;
class AlertPresenter;
class DistributedNotifications;
class HotKeys;
class HttpTransport;
class KeyboardLayout;
class Pasteboard;
class PermissionStatus;
class PreferenceStore;
class Scheduler;
class SystemLog;
class UrlOpener;
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
    SystemLog& systemLog;
    HttpTransport& http; // our own web services
};

// What a program with windows has besides: modal alerts, the general
// pasteboard, the permission library (which explains a missing permission
// with windows of its own) and the browser. A command-line tool has none of
// them.
struct DesktopServices : Services {
    AlertPresenter& alerts;
    Pasteboard& pasteboard;
    AccessKit& accessKit;
    UrlOpener& urlOpener;
};

} // namespace qrv
