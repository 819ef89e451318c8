#include "platform/bundles/BundleFileWorkspace.h"

#include "platform/bundles/ApplicationBundles.h"

namespace qrv {

std::optional<ApplicationBundle> BundleFileWorkspace::bundleAtPath(const QString& path) const {
    return bundles::read(path);
}

QString BundleFileWorkspace::displayNameAtPath(const QString& path) const {
    return bundles::displayName(path);
}

QIcon BundleFileWorkspace::iconForFile(const QString& path) const {
    return bundles::iconForFile(path);
}

} // namespace qrv
