// The permission gates of the editor: full disk access for every edit of
// another application's preferences, accessibility (and a running
// application) for completing titles from its menus. Nothing is remembered
// about the permissions themselves: every gate reads the status afresh.
#include "editor/KSCShortcutView.h"
#include "editor/QRVShortcutsViewController.h"
#include "platform/AccessKit.h"
#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "platform/Workspace.h"

namespace qrv {

namespace {

bool grantPermissionChosen(AlertPresenter& alerts, const QString& message,
                           const QString& informative) {
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = message;
    alert.informativeText = informative;
    alert.buttons = {{QRVShortcutsViewController::tr("Grant Permission"), QStringLiteral("\r")},
                     {QRVShortcutsViewController::tr("Cancel"), QStringLiteral("\x1b")}};
    return alerts.runModal(alert).index() == 0;
}

} // namespace

bool QRVShortcutsViewController::checkFullDiskAccess() {
    QRV_ASSERT_MAIN_THREAD();
    AccessKit& kit = m_services.accessKit;
    if (kit.isGranted(PermissionStatus::kFullDiskAccess))
        return true;
    if (grantPermissionChosen(m_services.alerts, tr("Full Disk Access"),
                              tr("Quorvane needs “Full Disk Access” permissions in order to edit "
                                 "keyboard shortcuts.")))
        showAccessInstructions(kit, PermissionStatus::kFullDiskAccess);
    return false;
}

bool QRVShortcutsViewController::textFieldCanEdit() {
    QRV_ASSERT_MAIN_THREAD();
    if (m_services.accessKit.isGranted(PermissionStatus::kAssistive))
        return checkFullDiskAccess();
    return m_services.accessKit.isGranted(PermissionStatus::kFullDiskAccess);
}

bool QRVShortcutsViewController::textFieldShouldSelect() {
    QRV_ASSERT_MAIN_THREAD();
    AccessKit& kit = m_services.accessKit;
    // Which path explains a missing full disk access is the mirror image of
    // textFieldCanEdit's, so one gesture never shows the alert twice.
    if (kit.isGranted(PermissionStatus::kAssistive)) {
        if (!kit.isGranted(PermissionStatus::kFullDiskAccess))
            return false;
    } else if (!checkFullDiskAccess()) {
        return false;
    }

    const QRVAplicationPtr selected = application();
    if (selected && selected != m_lastCheckedApplication.lock()) {
        const QString bundleIdentifier = selected->bundleIdentifier();
        if (!selected->topLevelMenuItems() && !bundleIdentifier.isEmpty()) {
            if (!m_didRequestAccessibility && !kit.isGranted(PermissionStatus::kAssistive)) {
                m_didRequestAccessibility = true;
                if (grantPermissionChosen(
                        m_services.alerts, tr("Accessibilty Features"),
                        tr("Quorvane can auto-complete menu titles and check for conflicts.\n\n"
                           "Quorvane needs your permission to access application menu items."))) {
                    // Not checked to the end: the next selection looks again.
                    showAccessInstructions(kit, PermissionStatus::kAssistive);
                    return false;
                }
            }
            offerToRunApplication(*selected);
        }
        m_lastCheckedApplication = selected;
    }

    if (m_currentShortcutRecorder && m_currentShortcutRecorder->isRecording()) {
        m_currentShortcutRecorder->setRecording(false);
        m_currentShortcutRecorder = nullptr;
    }
    return true;
}

void QRVShortcutsViewController::offerToRunApplication(const QRVAplication& selected) {
    const QString bundleIdentifier = selected.bundleIdentifier();
    Workspace& workspace = m_services.workspace;
    if (!m_services.accessKit.isGranted(PermissionStatus::kAssistive) ||
        !workspace.runningApplicationsWithBundleIdentifier(bundleIdentifier).isEmpty() ||
        workspace.urlForApplication(bundleIdentifier).isEmpty())
        return;
    const QString name = selected.localizedName();
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = tr("Run application “%1”").arg(name);
    alert.informativeText =
        tr("Quorvane can auto-complete menu titles and check for conflicts.\n\nFor Quorvane to "
           "access menu items of “%1,” that application needs to be running.")
            .arg(name);
    alert.buttons = {{tr("Start %1").arg(name), QStringLiteral("\r")},
                     {tr("Cancel"), QStringLiteral("\x1b")}};
    // The launch is not waited for; its menus are read once it runs.
    if (m_services.alerts.runModal(alert).index() == 0)
        workspace.launchApplication(bundleIdentifier);
}

} // namespace qrv
