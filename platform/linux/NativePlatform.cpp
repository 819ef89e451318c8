#include "platform/NativePlatform.h"

#include "platform/AppInfo.h"
#include "platform/Logging.h"
#include "platform/PreferencesHome.h"
#include "platform/UserDefaults.h"
#include "platform/linux/DBusDistributedNotifications.h"
#include "platform/linux/JournalSystemLog.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/linux/PreferencesHotKeys.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "platform/qt/QtHttpTransport.h"
// Menus, applications, permissions:
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/AtspiApplications.h"
#include "platform/linux/LinuxAccessibility.h"
#include "platform/linux/LinuxPermissionStatus.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/qt/QtAccessibility.h"
#include "platform/qt/QtScheduler.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QGuiApplication>

namespace qrv {

// Members in the order they depend on each other; a new service is one
// member here and one in Services.
struct NativePlatform::Parts {
    PlistFilePreferenceStore preferences;
    UserDefaults userDefaults;
    QtScheduler scheduler;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    // Menus, applications, permissions: this program's own in process, the
    // others' over the accessibility bus.
    atspi::Bus accessibilityBus;
    QtAccessibility ownAccessibility;
    AtspiAccessibility busAccessibility;
    LinuxAccessibility accessibility;
    AtspiApplications busApplications;
    LinuxWorkspace workspace;
    LinuxPermissionStatus permissions;
    DBusDistributedNotifications notifications;
    PreferencesHotKeys hotKeys;
    JournalSystemLog systemLog;
    QtHttpTransport http;
    DesktopUrlOpener urlOpener;
    // The clipboard needs a window-system connection; a command-line tool has none.
    std::unique_ptr<ClipboardPasteboard> pasteboard;
    Services services;

    Parts(const QString& home, std::unique_ptr<KeyboardLayout> layout, qint64 ownProcessId)
        : preferences(home)
        , userDefaults(preferences, QString::fromLatin1(appinfo::kBundleIdentifier))
        , keyboardLayout(std::move(layout))
        , accessibilityBus(QDBusConnection::sessionBus(),
                           qEnvironmentVariable("AT_SPI_BUS_ADDRESS"))
        , busAccessibility(accessibilityBus)
        , accessibility(ownAccessibility, busAccessibility, ownProcessId)
        , busApplications(accessibilityBus, ownProcessId)
        , workspace(home, &busApplications)
        , permissions(home, accessibility)
        , hotKeys(preferences)
        , http(scheduler)
        , services{home,      preferences, userDefaults,  scheduler, *keyboardLayout, accessibility,
                   workspace, permissions, notifications, hotKeys,   systemLog,       http} {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            pasteboard = std::make_unique<ClipboardPasteboard>();
    }
};

// The user's layout; a layout name the XKB data does not know falls back to
// "us", so key names still work.
static Result<std::unique_ptr<KeyboardLayout>> userKeyboardLayout() {
    const auto names = XkbKeyboardLayout::userLayoutNames();
    auto layout = XkbKeyboardLayout::create(names);
    if (!layout) {
        qCWarning(lcPlatform, "%s Using the U.S. layout.", qPrintable(layout.error()));
        layout = XkbKeyboardLayout::create({QStringLiteral("us"), QString()});
    }
    if (!layout)
        return makeError(layout.error());
    return std::unique_ptr<KeyboardLayout>(std::move(layout).value());
}

Result<std::unique_ptr<NativePlatform>> NativePlatform::create(const QString& home, HomeUse use) {
    auto prepared = use == HomeUse::MayBeReadOnly
                        ? Result<QString>(PreferencesHome::prepareWherePossible(home))
                        : PreferencesHome::prepare(home);
    if (!prepared)
        return makeError(prepared.error());
    auto layout = userKeyboardLayout();
    if (!layout)
        return makeError(layout.error());
    std::unique_ptr<NativePlatform> native(new NativePlatform);
    native->m_parts = std::make_unique<Parts>(*prepared, std::move(layout).value(),
                                              QCoreApplication::applicationPid());
    return native;
}

NativePlatform::~NativePlatform() = default;

const Services& NativePlatform::services() const {
    return m_parts->services;
}

DesktopServices NativePlatform::desktopServices(AlertPresenter& alerts,
                                                AccessKit& accessKit) const {
    Q_ASSERT_X(m_parts->pasteboard, "NativePlatform", "desktop services need a GUI application");
    return {m_parts->services, alerts, *m_parts->pasteboard, accessKit, m_parts->urlOpener};
}

} // namespace qrv
