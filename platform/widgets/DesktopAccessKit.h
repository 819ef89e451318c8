#pragma once

#include "platform/AccessKit.h"

#include <QElapsedTimer>
#include <QPointer>
#include <memory>

class QProcess;
class QWindow;

namespace qrv {

class AlertPresenter;
class PrivacySettings;
namespace access {
class GuidingOverlay;
class InstructionsWindow;
} // namespace access

// The permission library on a desktop: the privacy settings are the
// desktop's accessibility settings where one is installed (for
// accessibility) and otherwise our own instructions window; the guiding
// overlay is a small window that stays on top beside them. Nothing here runs
// a privileged command: what needs one is shown for the user to run.
class DesktopAccessKit final : public AccessKit {
    Q_OBJECT
  public:
    DesktopAccessKit(const PermissionStatus& statusCenter, const PrivacySettings& settings,
                     AlertPresenter& alerts, QObject* parent = nullptr);
    ~DesktopAccessKit() override;

    // Full disk access: an alert naming the folder, why it cannot be changed
    // and the command that would allow it, with a button to copy the command.
    // Accessibility: its instructions, as askAccessForPanelIdentifier.
    void requestPrivacyAuthorization(const QString& identifier, bool silent) override;
    void askAccessForPanelIdentifier(const QString& identifier) override;
    void openPrivacyPreferencesWithAnchor(const QString& anchor) override;

    // The windows, once made (screenshots, tests).
    QWidget* instructionsWindow() const;
    QWidget* overlay() const;

  private:
    // Opens the settings for the permission; answers whether they are our own window.
    bool openSettings(const QString& identifier);
    bool launchAccessibilitySettings();
    void focusWindowChanged(QWindow* window);
    void settingsQuit();
    void stopOverlay();

    const PrivacySettings& m_settings;
    AlertPresenter& m_alerts;
    std::unique_ptr<access::InstructionsWindow> m_instructions;
    std::unique_ptr<access::GuidingOverlay> m_overlay;
    QPointer<QProcess> m_settingsProcess;
    QElapsedTimer m_settingsStarted;
    bool m_settingsAreOurs = false;
    bool m_reachedSettings = false; // since the overlay was shown
};

} // namespace qrv
