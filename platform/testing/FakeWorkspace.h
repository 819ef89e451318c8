#pragma once

#include "platform/bundles/BundleFileWorkspace.h"

#include <QHash>

namespace qrv::testing {

// A workspace the test controls: which applications run (launching,
// quitting and activating them posts the notifications) and where
// applications are installed. Bundles, names and icons are read from the
// files as the real workspace reads them.
class FakeWorkspace final : public BundleFileWorkspace {
    Q_OBJECT
  public:
    // Adds a running application without notification (already running at start).
    void addRunning(const RunningApplication& application) { m_running.append(application); }
    // Adds it and posts the launch notification.
    void launch(const RunningApplication& application);
    void quit(qint64 processId);
    // Posts the activation notification for a running application.
    void activate(qint64 processId);
    void activate(const RunningApplication& application) {
        emit didActivateApplication(application);
    }

    // Makes urlForApplication() find the bundle at this path.
    void install(const QString& bundleIdentifier, const QString& path);

    QList<RunningApplication> runningApplications() const override { return m_running; }
    QUrl urlForApplication(const QString& bundleIdentifier) const override;
    // Recorded only: the test decides whether the application then runs.
    void launchApplication(const QString& bundleIdentifier) override {
        launchRequests.append(bundleIdentifier);
    }
    QStringList launchRequests;

  private:
    QList<RunningApplication> m_running;
    QHash<QString, QString> m_installed; // lower-cased identifier -> path
};

} // namespace qrv::testing
