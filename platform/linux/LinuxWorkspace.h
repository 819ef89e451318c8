#pragma once

#include "platform/Workspace.h"
#include "platform/linux/ApplicationBundles.h"

namespace qrv {

// The workspace on Linux. Running applications are, for now, this program
// alone (a regular application); it posts its own activation. Installed
// applications are application bundles in the Applications folders and XDG
// desktop entries (see ApplicationBundles.h).
class LinuxWorkspace final : public Workspace {
    Q_OBJECT
  public:
    explicit LinuxWorkspace(const QString& preferencesHome);

    QList<RunningApplication> runningApplications() const override;
    QUrl urlForApplication(const QString& bundleIdentifier) const override;
    std::optional<ApplicationBundle> bundleAtPath(const QString& path) const override;
    QString displayNameAtPath(const QString& path) const override;
    QIcon iconForFile(const QString& path) const override;

  private:
    bundles::SearchPaths m_paths;
    RunningApplication m_self;
};

} // namespace qrv
