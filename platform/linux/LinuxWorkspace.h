#pragma once

#include "platform/bundles/ApplicationBundles.h"
#include "platform/bundles/BundleFileWorkspace.h"
#include "platform/linux/AtspiApplications.h"
#include "platform/linux/DesktopEntryMatch.h"

#include <QDateTime>

namespace qrv {

// The workspace on Linux. Running applications are this program (a regular
// application that posts its own activation) and the applications on the
// accessibility bus, each matched to its desktop entry (DesktopEntryMatch.h):
// the entry's id is the bundle identifier, its localized Name the name, its
// Icon the icon; NoDisplay entries are accessories. An application no entry
// describes is listed under its process name (as identifier and name).
// Launches and activations come from the bus's events. Installed
// applications are application bundles in the Applications folders and XDG
// desktop entries (see ApplicationBundles.h).
class LinuxWorkspace final : public BundleFileWorkspace {
    Q_OBJECT
  public:
    // Without bus applications, this program is the only one running.
    LinuxWorkspace(const QString& preferencesHome, AtspiApplications* busApplications);

    QList<RunningApplication> runningApplications() const override;
    QUrl urlForApplication(const QString& bundleIdentifier) const override;
    // Runs the desktop entry's Exec, or the bundle's Contents/MacOS/<CFBundleExecutable>.
    void launchApplication(const QString& bundleIdentifier) override;

  private:
    RunningApplication describe(const AtspiApplications::Application& application) const;
    const QList<desktop::Entry>& desktopEntries() const;

    bundles::SearchPaths m_paths;
    RunningApplication m_self;
    AtspiApplications* m_busApplications;
    // The entries as last read, and the folders' modification times then.
    mutable QList<desktop::Entry> m_entries;
    mutable QList<QDateTime> m_entryFolderTimes;
};

} // namespace qrv
