#include "platform/linux/LinuxWorkspace.h"

#include "platform/AppInfo.h"
#include "platform/Images.h"
#include "platform/MainThread.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace qrv {

LinuxWorkspace::LinuxWorkspace(const QString& preferencesHome)
    : m_paths(bundles::defaultSearchPaths(preferencesHome)) {
    m_self.bundleIdentifier = QString::fromLatin1(appinfo::kBundleIdentifier);
    m_self.localizedName = QString::fromLatin1(appinfo::kApplicationName);
    m_self.processId = QCoreApplication::applicationPid();
    if (canMakeIcons()) {
        // Made once, so that the catalogue sees the very same icon every time.
        const QIcon windowIcon = QGuiApplication::windowIcon();
        m_self.icon =
            windowIcon.isNull() ? imageNamed(QStringLiteral("GenericAppIcon")) : windowIcon;
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive)
                        emit didActivateApplication(m_self);
                });
    }
}

QList<RunningApplication> LinuxWorkspace::runningApplications() const {
    QRV_ASSERT_MAIN_THREAD();
    return {m_self};
}

QUrl LinuxWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    const QString path = bundles::locate(bundleIdentifier, m_paths);
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

} // namespace qrv
