#include "platform/NativePlatform.h"

#include "platform/AppInfo.h"
#include "platform/Logging.h"
#include "platform/PreferencesHome.h"
#include "platform/UserDefaults.h"
#include "platform/linux/DBusDistributedNotifications.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/linux/PreferencesHotKeys.h"
#include "platform/linux/XkbKeyboardLayout.h"
#include "platform/qt/ClipboardPasteboard.h"
#include "platform/qt/QtScheduler.h"
// Menus, applications, permissions:
#include "platform/linux/AtspiAccessibility.h"
#include "platform/linux/AtspiApplications.h"
#include "platform/linux/LinuxAccessibility.h"
#include "platform/linux/LinuxPermissionStatus.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/qt/QtAccessibility.h"

#include <QDBusConnection>
#include <QGuiApplication>

namespace qrv {

struct NativePlatform::Parts {
    std::unique_ptr<PlistFilePreferenceStore> preferences;
    std::unique_ptr<UserDefaults> userDefaults;
    std::unique_ptr<QtScheduler> scheduler;
    std::unique_ptr<KeyboardLayout> keyboardLayout;
    std::unique_ptr<ClipboardPasteboard> pasteboard;
    std::unique_ptr<DBusDistributedNotifications> notifications;
    std::unique_ptr<PreferencesHotKeys> hotKeys;
    // Menus, applications, permissions: this program's own in process, the
    // others' over the accessibility bus.
    std::unique_ptr<atspi::Bus> accessibilityBus;
    std::unique_ptr<QtAccessibility> ownAccessibility;
    std::unique_ptr<AtspiAccessibility> busAccessibility;
    std::unique_ptr<LinuxAccessibility> accessibility;
    std::unique_ptr<AtspiApplications> busApplications;
    std::unique_ptr<LinuxWorkspace> workspace;
    std::unique_ptr<LinuxPermissionStatus> permissions;
};

// The user's layout; a layout name the XKB data does not know falls back to
// "us", so key names still work. Null only without any XKB data.
static std::unique_ptr<KeyboardLayout> userKeyboardLayout() {
    const auto names = XkbKeyboardLayout::userLayoutNames();
    auto layout = XkbKeyboardLayout::create(names);
    if (!layout) {
        qCWarning(lcPlatform, "%s Using the U.S. layout.", qPrintable(layout.error()));
        layout = XkbKeyboardLayout::create({QStringLiteral("us"), QString()});
    }
    if (!layout) {
        qCWarning(lcPlatform, "%s Keys are shown without layout names.",
                  qPrintable(layout.error()));
        return nullptr;
    }
    return std::move(layout).value();
}

Result<std::unique_ptr<NativePlatform>> NativePlatform::create(const QString& home, HomeUse use) {
    auto prepared = use == HomeUse::MayBeReadOnly
                        ? Result<QString>(PreferencesHome::prepareWherePossible(home))
                        : PreferencesHome::prepare(home);
    if (!prepared)
        return makeError(prepared.error());
    std::unique_ptr<NativePlatform> native(new NativePlatform);
    native->m_parts = std::make_unique<Parts>();
    Parts& parts = *native->m_parts;
    parts.preferences = std::make_unique<PlistFilePreferenceStore>(*prepared);
    parts.userDefaults = std::make_unique<UserDefaults>(
        *parts.preferences, QString::fromLatin1(appinfo::kBundleIdentifier));
    parts.scheduler = std::make_unique<QtScheduler>();
    parts.keyboardLayout = userKeyboardLayout();
    parts.notifications = std::make_unique<DBusDistributedNotifications>();
    parts.hotKeys = std::make_unique<PreferencesHotKeys>(*parts.preferences);
    // The clipboard needs a window-system connection; a command-line tool has none.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        parts.pasteboard = std::make_unique<ClipboardPasteboard>();
    // Menus, applications, permissions:
    const qint64 ownProcessId = QCoreApplication::applicationPid();
    parts.accessibilityBus = std::make_unique<atspi::Bus>(
        QDBusConnection::sessionBus(), qEnvironmentVariable("AT_SPI_BUS_ADDRESS"));
    parts.ownAccessibility = std::make_unique<QtAccessibility>();
    parts.busAccessibility = std::make_unique<AtspiAccessibility>(*parts.accessibilityBus);
    parts.accessibility = std::make_unique<LinuxAccessibility>(
        *parts.ownAccessibility, *parts.busAccessibility, ownProcessId);
    parts.busApplications =
        std::make_unique<AtspiApplications>(*parts.accessibilityBus, ownProcessId);
    parts.workspace = std::make_unique<LinuxWorkspace>(*prepared, parts.busApplications.get());
    parts.permissions = std::make_unique<LinuxPermissionStatus>(*prepared, *parts.accessibility);

    PlatformServices& s = native->m_services;
    s.home = *prepared;
    s.preferences = parts.preferences.get();
    s.userDefaults = parts.userDefaults.get();
    s.scheduler = parts.scheduler.get();
    s.keyboardLayout = parts.keyboardLayout.get();
    s.pasteboard = parts.pasteboard.get();
    s.notifications = parts.notifications.get();
    s.hotKeys = parts.hotKeys.get();
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
