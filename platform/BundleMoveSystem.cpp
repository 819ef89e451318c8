#include "platform/BundleMoveSystem.h"

#include <QDir>

namespace qrv {

bool isPathInside(const QString& path, const QString& folder) {
    if (folder.isEmpty() || path.isEmpty())
        return false;
    const QString base = QDir::cleanPath(folder);
    const QString cleaned = QDir::cleanPath(path);
    if (base == QLatin1String("/"))
        return cleaned.startsWith(QLatin1Char('/'));
    return cleaned == base || cleaned.startsWith(base + QLatin1Char('/'));
}

} // namespace qrv
