#pragma once

#include <QIcon>
#include <QString>
#include <QUrl>

namespace qrv {

// Running applications, application bundles and their icons, and the launch
// and activation notifications. (Implemented by the menus work; refine there.)
struct RunningApplication {
    QString bundleIdentifier;
    QString localizedName;
    QIcon icon;
    qint64 processId = 0;
    enum class ActivationPolicy { Regular, Accessory, Prohibited } activationPolicy = ActivationPolicy::Regular;
};

class Workspace {
  public:
    virtual ~Workspace() = default;
    virtual QList<RunningApplication> runningApplications() const = 0;
    virtual QUrl urlForApplication(const QString& bundleIdentifier) const = 0;
};

} // namespace qrv
