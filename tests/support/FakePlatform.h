#pragma once

#include "platform/Platform.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/FakePermissionStatus.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/FixedKeyboardLayout.h"
#include "platform/testing/MemoryPasteboard.h"
#include "platform/testing/RecordedAccessibility.h"
#include "platform/testing/RecordingNotifications.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHotKeys.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QIcon>

namespace qrv::testing {

// Every service as a double, installed for the lifetime of the object:
// preference files in a temporary home, virtual time, scripted alerts,
// recorded menus, a controllable workspace and permissions.
struct FakePlatform {
    TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    VirtualScheduler scheduler;
    ScriptedAlertPresenter alerts;
    RecordedAccessibility accessibility;
    FakeWorkspace workspace;
    FakePermissionStatus permissions;
    FixedKeyboardLayout keyboardLayout = FixedKeyboardLayout::us();
    MemoryPasteboard pasteboard;
    ScriptedHotKeys hotKeys;
    RecordingNotifications notifications;
    ScopedPlatform installed{PlatformServices{.home = home.path(),
                                              .preferences = &preferences,
                                              .scheduler = &scheduler,
                                              .alerts = &alerts,
                                              .keyboardLayout = &keyboardLayout,
                                              .accessibility = &accessibility,
                                              .workspace = &workspace,
                                              .permissions = &permissions,
                                              .notifications = &notifications,
                                              .pasteboard = &pasteboard}};

    // A running regular application whose menus are `menus` (recorded form).
    RunningApplication run(const QString& bundleIdentifier, const QString& name, qint64 processId,
                           const QJsonObject& menus = {}) {
        RunningApplication application{bundleIdentifier, name, QIcon(), processId};
        if (!menus.isEmpty())
            accessibility.addApplication(processId, menus);
        workspace.addRunning(application);
        return application;
    }

    // An application bundle <home>/Applications/<name>.app with this Info.plist; answers its path.
    QString makeAppBundle(const QString& name, const QVariantMap& info) {
        const QString path = home.file("Applications/" + name + ".app");
        QDir().mkpath(path + "/Contents");
        QFile file(path + "/Contents/Info.plist");
        if (file.open(QIODevice::WriteOnly))
            file.write(plist::encode(info).value());
        return path;
    }

    void registerApplications(const QStringList& bundleIdentifiers) {
        (void)preferences.setValue("com.apple.custommenu.apps", bundleIdentifiers,
                                   "com.apple.universalaccess");
    }
};

} // namespace qrv::testing
