#pragma once

#include "platform/bundles/ApplicationBundles.h"
#include "platform/bundles/BundleFileWorkspace.h"

namespace qrv {

// The workspace on Linux. Running applications are, for now, this program
// alone (a regular application); it posts its own activation. Installed
// applications are application bundles in the Applications folders and XDG
// desktop entries (see ApplicationBundles.h).
class LinuxWorkspace final : public BundleFileWorkspace {
    Q_OBJECT
  public:
    explicit LinuxWorkspace(const QString& preferencesHome);

    QList<RunningApplication> runningApplications() const override;
    QUrl urlForApplication(const QString& bundleIdentifier) const override;

  private:
    bundles::SearchPaths m_paths;
    RunningApplication m_self;
};

} // namespace qrv
