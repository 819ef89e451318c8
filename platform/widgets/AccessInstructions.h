#pragma once

#include "platform/PrivacySettings.h"

#include <QWidget>
#include <optional>

class QLabel;
class QVBoxLayout;

namespace qrv {

class PermissionStatus;

// What the permission library tells the user on this system: the name of a
// permission, how to grant it, and the windows that say so.
namespace access {

QString permissionName(const QString& identifier);

// The full-disk-access problem as an alert's informative text: which folder,
// why, and what can be done from here (the command, or another home).
QString folderProblemText(const FolderProblem& problem);

// The settings of the privacy permissions on this system: for each requested
// permission its state and, when it is missing, how to grant it, with the
// commands to copy and a button for the desktop's accessibility settings when
// they are installed. Rebuilt from the current state each time it is shown.
class InstructionsWindow : public QWidget {
    Q_OBJECT
  public:
    InstructionsWindow(const PermissionStatus& status, const PrivacySettings& settings);

    // Shows the instructions for these permissions and brings the window to the front.
    void showPermissions(const QStringList& identifiers);

  signals:
    void openAccessibilitySettingsRequested();

  private:
    void addSection(QVBoxLayout* layout, const QString& identifier);
    void addCommand(QVBoxLayout* layout, const QString& command);

    const PermissionStatus& m_status;
    const PrivacySettings& m_settings;
    std::optional<SettingsProgram> m_accessibilitySettings; // as the window was last shown
    QWidget* m_content = nullptr;
};

// The small always-on-top window beside the settings that says what to do
// there. It never takes the focus, so showing it does not count as this
// program becoming active.
class GuidingOverlay : public QWidget {
    Q_OBJECT
  public:
    GuidingOverlay();
    // Shows the steps for the permission beside `settingsWindow` (the screen's
    // right edge when the settings are another program's).
    void showFor(const QString& identifier, const QString& settingsName, QWidget* settingsWindow);

  signals:
    void dismissed();

  private:
    QLabel* m_text = nullptr;
};

} // namespace access
} // namespace qrv
