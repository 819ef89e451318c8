#pragma once

#include "platform/Workspace.h"

namespace qrv {

// The part of a workspace that reads bundles, names and icons from the files
// themselves, shared by the real workspace and the test's controllable one so
// both read applications exactly alike.
class BundleFileWorkspace : public Workspace {
    Q_OBJECT
  public:
    std::optional<ApplicationBundle> bundleAtPath(const QString& path) const override;
    QString displayNameAtPath(const QString& path) const override;
    QIcon iconForFile(const QString& path) const override;
};

} // namespace qrv
