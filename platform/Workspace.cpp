#include "platform/Workspace.h"

namespace qrv {

QList<RunningApplication>
Workspace::runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier) const {
    QList<RunningApplication> matching;
    for (const RunningApplication& application : runningApplications())
        if (application.bundleIdentifier == bundleIdentifier)
            matching.append(application);
    return matching;
}

} // namespace qrv
