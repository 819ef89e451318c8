#include "platform/linux/LinuxWorkspace.h"

#include "platform/AppInfo.h"
#include "platform/Images.h"
#include "platform/Logging.h"
#include "platform/MainThread.h"
#include "platform/linux/DesktopEntryMatch.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

namespace qrv {

LinuxWorkspace::LinuxWorkspace(const QString& preferencesHome, AtspiApplications* busApplications)
    : m_paths(bundles::defaultSearchPaths(preferencesHome))
    , m_busApplications(busApplications) {
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
    if (m_busApplications) {
        connect(m_busApplications, &AtspiApplications::launched, this,
                [this](const AtspiApplications::Application& application) {
                    emit didLaunchApplication(describe(application));
                });
        connect(m_busApplications, &AtspiApplications::activated, this,
                [this](const AtspiApplications::Application& application) {
                    emit didActivateApplication(describe(application));
                });
    }
}

const QList<desktop::Entry>& LinuxWorkspace::desktopEntries() const {
    QList<QDateTime> times;
    for (const QString& folder : m_paths.desktopEntryFolders)
        times << QFileInfo(folder).lastModified();
    if (times != m_entryFolderTimes || m_entryFolderTimes.isEmpty()) {
        m_entries = desktop::readEntries(m_paths.desktopEntryFolders);
        m_entryFolderTimes = times;
    }
    return m_entries;
}

RunningApplication
LinuxWorkspace::describe(const AtspiApplications::Application& application) const {
    desktop::Process process = desktop::Process::read(application.processId);
    process.applicationName = application.name;
    RunningApplication running;
    running.processId = application.processId;
    const QList<desktop::Entry>& entries = desktopEntries();
    const auto found = desktop::match(process, entries);
    const auto bundle = found ? bundles::read(entries.at(*found).path) : std::nullopt;
    if (!bundle) {
        running.bundleIdentifier = running.localizedName = process.processName();
        return running;
    }
    running.bundleIdentifier = bundle->bundleIdentifier;
    for (const QVariantMap* info : {&bundle->localizedInfoDictionary, &bundle->infoDictionary}) {
        running.localizedName = info->value(QStringLiteral("CFBundleDisplayName")).toString();
        if (!running.localizedName.isEmpty())
            break;
    }
    if (running.localizedName.isEmpty())
        running.localizedName = process.processName();
    running.icon = iconForFile(bundle->path);
    if (entries.at(*found).noDisplay)
        running.activationPolicy = RunningApplication::ActivationPolicy::Accessory;
    return running;
}

QList<RunningApplication> LinuxWorkspace::runningApplications() const {
    QRV_ASSERT_MAIN_THREAD();
    QList<RunningApplication> running{m_self};
    if (m_busApplications)
        for (const AtspiApplications::Application& application : m_busApplications->applications())
            running << describe(application);
    return running;
}

QUrl LinuxWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    const QString path = bundles::locate(bundleIdentifier, m_paths);
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

void LinuxWorkspace::launchApplication(const QString& bundleIdentifier) {
    const QString path = bundles::locate(bundleIdentifier, m_paths);
    QStringList command;
    if (path.endsWith(QLatin1String(".desktop"))) {
        if (const auto values = bundles::desktopEntryValues(path))
            command = desktop::execArguments(values->value(QStringLiteral("Exec")));
    } else if (const auto bundle = bundles::read(path)) {
        const QString executable =
            bundle->infoDictionary.value(QStringLiteral("CFBundleExecutable")).toString();
        if (!executable.isEmpty())
            command << path + QStringLiteral("/Contents/MacOS/") + executable;
    }
    if (command.isEmpty()) {
        qCWarning(lcPlatform, "Cannot launch %s: no program found for it.",
                  qPrintable(bundleIdentifier));
        return;
    }
    // Detached: the application outlives us and nobody waits for it.
    if (!QProcess::startDetached(command.first(), command.mid(1)))
        qCWarning(lcPlatform, "Cannot launch %s (%s).", qPrintable(bundleIdentifier),
                  qPrintable(command.first()));
}

} // namespace qrv
