#include "platform/Images.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

// Resources of a static library must be registered by name, outside any namespace.
static void registerPlatformResources() {
    Q_INIT_RESOURCE(platform);
}

namespace qrv {

bool canMakeIcons() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QIcon imageNamed(const QString& name) {
    static const bool registered = (registerPlatformResources(), true);
    Q_UNUSED(registered);
    const QString path = QStringLiteral(":/qrv/images/%1.png").arg(name);
    if (!canMakeIcons() || !QFile::exists(path))
        return {};
    return QIcon(path);
}

} // namespace qrv
