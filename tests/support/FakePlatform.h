#pragma once

#include "platform/Services.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/FakeAccessKit.h"
#include "platform/testing/FakePermissionStatus.h"
#include "platform/testing/FakeSystemLog.h"
#include "platform/testing/FakeWorkspace.h"
#include "platform/testing/FixedKeyboardLayout.h"
#include "platform/testing/MemoryPasteboard.h"
#include "platform/testing/RecordedAccessibility.h"
#include "platform/testing/RecordingNotifications.h"
#include "platform/testing/RecordingUrlOpener.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHotKeys.h"
#include "platform/testing/ScriptedHttpTransport.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QIcon>

namespace qrv::testing {

// The composition root of the tests: every service as a double, handed out
// as `services`. Preference files live in a temporary home; time is
// virtual, alerts are scripted, menus recorded, the workspace and the
// permissions controllable, the layout the U.S. one.
struct FakePlatform {
    TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    UserDefaults defaults{preferences, QStringLiteral("com.brackwyn.Quorvane")};
    VirtualScheduler scheduler;
    FixedKeyboardLayout keyboardLayout = FixedKeyboardLayout::us();
    RecordedAccessibility accessibility;
    FakeWorkspace workspace;
    FakePermissionStatus permissions;
    FakeAccessKit accessKit{permissions};
    RecordingNotifications notifications;
    ScriptedHotKeys hotKeys;
    ScriptedAlertPresenter alerts;
    MemoryPasteboard pasteboard;
    FakeSystemLog systemLog;
    ScriptedHttpTransport http;
    RecordingUrlOpener urlOpener;
    DesktopServices services{{home.path(), preferences, defaults, scheduler, keyboardLayout,
                              accessibility, workspace, permissions, notifications, hotKeys,
                              systemLog, http},
                             alerts,
                             pasteboard,
                             accessKit,
                             urlOpener};

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
        const QString path =
            home.file(QStringLiteral("Applications/") + name + QStringLiteral(".app"));
        QDir().mkpath(path + QStringLiteral("/Contents"));
        QFile file(path + QStringLiteral("/Contents/Info.plist"));
        if (file.open(QIODevice::WriteOnly))
            file.write(plist::encode(info).value());
        return path;
    }

    void registerApplications(const QStringList& bundleIdentifiers) {
        (void)preferences.setValue(QStringLiteral("com.apple.custommenu.apps"), bundleIdentifiers,
                                   QStringLiteral("com.apple.universalaccess"));
    }
};

} // namespace qrv::testing
