#include "platform/widgets/DesktopAccessKit.h"

#include "platform/AlertPresenter.h"
#include "platform/Logging.h"
#include "platform/MainThread.h"
#include "platform/PrivacySettings.h"
#include "platform/widgets/AccessInstructions.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QProcess>
#include <QWindow>

namespace qrv {
namespace {

// A settings program that ends this soon after it started handed the page to
// a copy already running: its end is not the settings quitting.
constexpr qint64 kHandOverMillis = 3000;

} // namespace

DesktopAccessKit::DesktopAccessKit(const PermissionStatus& statusCenter,
                                   const PrivacySettings& settings, AlertPresenter& alerts,
                                   QObject* parent)
    : AccessKit(statusCenter, parent)
    , m_settings(settings)
    , m_alerts(alerts) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this,
            &DesktopAccessKit::focusWindowChanged);
}

DesktopAccessKit::~DesktopAccessKit() {
    if (m_settingsProcess)
        m_settingsProcess->disconnect(this);
}

QWidget* DesktopAccessKit::instructionsWindow() const {
    return m_instructions.get();
}

QWidget* DesktopAccessKit::overlay() const {
    return m_overlay.get();
}

void DesktopAccessKit::requestPrivacyAuthorization(const QString& identifier, bool silent) {
    QRV_ASSERT_MAIN_THREAD();
    if (silent || isGranted(identifier))
        return;
    if (identifier != PermissionStatus::kFullDiskAccess) {
        askAccessForPanelIdentifier(identifier);
        return;
    }
    const auto problem = m_settings.preferencesFolderProblem();
    if (!problem)
        return; // granted since the status was read
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = access::permissionName(identifier);
    alert.informativeText = access::folderProblemText(*problem);
    if (!problem->command.isEmpty())
        alert.buttons.append({tr("Copy Command"), QString()});
    alert.buttons.append({tr("OK"), QStringLiteral("\r")});
    const AlertResponse response = m_alerts.runModal(alert);
    if (!problem->command.isEmpty() && response.index() == 0)
        QGuiApplication::clipboard()->setText(problem->command);
}

void DesktopAccessKit::askAccessForPanelIdentifier(const QString& identifier) {
    QRV_ASSERT_MAIN_THREAD();
    m_settingsAreOurs = openSettings(identifier);
    m_reachedSettings = false;
    if (!m_overlay) {
        m_overlay = std::make_unique<access::GuidingOverlay>();
        connect(m_overlay.get(), &access::GuidingOverlay::dismissed, this,
                &DesktopAccessKit::stopOverlay);
    }
    const auto settings = m_settings.accessibilitySettings();
    m_overlay->showFor(identifier, settings && !m_settingsAreOurs ? settings->name : QString(),
                       m_settingsAreOurs ? m_instructions.get() : nullptr);
    setOverlayShown(true);
}

void DesktopAccessKit::openPrivacyPreferencesWithAnchor(const QString& anchor) {
    QRV_ASSERT_MAIN_THREAD();
    if (anchor.isEmpty()) {
        // No permission in particular: all of them, in our window.
        m_settingsAreOurs = true;
        if (!m_instructions)
            openSettings(PermissionStatus::kFullDiskAccess);
        m_instructions->showPermissions(
            {PermissionStatus::kFullDiskAccess, PermissionStatus::kAssistive});
        return;
    }
    m_settingsAreOurs = openSettings(anchor);
}

bool DesktopAccessKit::openSettings(const QString& identifier) {
    if (identifier == PermissionStatus::kAssistive && launchAccessibilitySettings())
        return false;
    if (!m_instructions) {
        m_instructions = std::make_unique<access::InstructionsWindow>(statusCenter(), m_settings);
        connect(m_instructions.get(),
                &access::InstructionsWindow::openAccessibilitySettingsRequested, this,
                [this] { launchAccessibilitySettings(); });
    }
    m_instructions->showPermissions({identifier});
    return true;
}

bool DesktopAccessKit::launchAccessibilitySettings() {
    const auto settings = m_settings.accessibilitySettings();
    if (!settings)
        return false;
    if (m_settingsProcess)
        m_settingsProcess->disconnect(this); // a later quit of the old one is not this one's
    auto* process = new QProcess(this);
    connect(process, &QProcess::finished, this, [this, process] {
        process->deleteLater();
        if (process == m_settingsProcess)
            settingsQuit();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        qCWarning(lcPlatform, "Cannot start %s: %s", qPrintable(process->program()),
                  qPrintable(process->errorString()));
        process->deleteLater();
        if (process == m_settingsProcess)
            settingsQuit();
    });
    m_settingsProcess = process;
    m_settingsStarted.start();
    process->start(settings->program, settings->arguments);
    return true;
}

void DesktopAccessKit::settingsQuit() {
    const bool handedOver = m_settingsStarted.isValid() &&
                            m_settingsStarted.elapsed() < kHandOverMillis && m_settingsProcess &&
                            m_settingsProcess->exitCode() == 0 &&
                            m_settingsProcess->error() == QProcess::UnknownError;
    m_settingsProcess = nullptr;
    if (!handedOver && !m_settingsAreOurs && stopOnQuitOfSystemPreferences())
        stopOverlay();
}

void DesktopAccessKit::focusWindowChanged(QWindow* window) {
    if (!isOverlayShown())
        return;
    // Focus that moves before the user reached the settings (the alert that
    // asked closing, say) ends nothing.
    if (m_settingsAreOurs) {
        if (window == (m_instructions ? m_instructions->windowHandle() : nullptr)) {
            m_reachedSettings = true;
            return;
        }
        if (!m_reachedSettings)
            return;
        // Our settings window lost the focus: to another program (the
        // settings deactivated) or to another of our windows (this program
        // active again).
        if (window ? stopOnActivateOfHostApplication() : stopOnDeactivateOfSystemPreferences())
            stopOverlay();
        return;
    }
    if (!window) {
        m_reachedSettings = true; // we were left for the other program's settings
        return;
    }
    if (m_reachedSettings && stopOnActivateOfHostApplication())
        stopOverlay();
}

void DesktopAccessKit::stopOverlay() {
    if (m_overlay)
        m_overlay->hide();
    setOverlayShown(false);
}

} // namespace qrv
