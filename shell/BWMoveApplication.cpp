#include "shell/BWMoveApplication.h"

#include "platform/AlertPresenter.h"
#include "platform/BundleMoveSystem.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <optional>

Q_LOGGING_CATEGORY(lcMove, "qrv.move")

namespace qrv {

namespace {

bool g_moveInProgress = false;

// Holds the move-in-progress flag for one run of the check. While it is set,
// Qt must not end the run when the last window closes (the offer itself is a
// window); the previous setting comes back with the flag's clearing.
class MoveInProgress {
  public:
    MoveInProgress() {
        g_moveInProgress = true;
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            m_quitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
            QGuiApplication::setQuitOnLastWindowClosed(false);
        }
    }
    ~MoveInProgress() {
        g_moveInProgress = false;
        if (m_quitOnLastWindowClosed)
            QGuiApplication::setQuitOnLastWindowClosed(*m_quitOnLastWindowClosed);
    }
    MoveInProgress(const MoveInProgress&) = delete;
    MoveInProgress& operator=(const MoveInProgress&) = delete;

  private:
    std::optional<bool> m_quitOnLastWindowClosed;
};

void logInfo(const QString& line) {
    qCInfo(lcMove, "%s", qUtf8Printable(line));
}
void logWarning(const QString& line) {
    qCWarning(lcMove, "%s", qUtf8Printable(line));
}

bool isInsideAny(const QString& path, const QStringList& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const QString& folder) { return isPathInside(path, folder); });
}

// Inside another application's folder (Other.app/Contents/.../Name.app).
bool isNested(const QString& bundlePath) {
    const QStringList parents =
        QFileInfo(QDir::cleanPath(bundlePath)).path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return std::any_of(parents.begin(), parents.end(), [](const QString& component) {
        return QFileInfo(component).suffix() == QLatin1String("app");
    });
}

} // namespace

BWMoveApplication::BWMoveApplication(const MoveApplicationServices& services)
    : m_services(services) {}

bool BWMoveApplication::isMoveInProgress() {
    return g_moveInProgress;
}

BWMoveApplication::Outcome BWMoveApplication::moveToApplicationsFolderIfNecessary() {
    if (!m_services.scheduler.isMainThread()) {
        const MoveApplicationServices services = m_services;
        m_services.scheduler.asyncMain([services] {
            if (BWMoveApplication(services).moveToApplicationsFolderIfNecessary() == Outcome::Quit)
                QCoreApplication::exit(0);
        });
        return Outcome::Continue;
    }
    if (m_services.userDefaults.boolForKey(QLatin1String(kSuppressAlertKey)))
        return Outcome::Continue;

    BundleMoveSystem& system = m_services.system;
    const MainBundle bundle = system.mainBundle();
    // Started from a bin/ folder (installed by a package, or a build): there is
    // no application folder to move. Nor is there anywhere to move it to
    // without an Applications folder.
    if (bundle.path.isEmpty() || system.localApplicationsDirectory().isEmpty())
        return Outcome::Continue;
    m_bundlePath = QDir::cleanPath(bundle.path);
    m_bundleName = bundle.name;
    m_shortVersion = bundle.shortVersion;

    const bool nested = isNested(m_bundlePath);
    if (isInApplicationsFolder(m_bundlePath) && !nested)
        return Outcome::Continue;
    const MoveInProgress inProgress;

    const QString bundleFolder = QFileInfo(m_bundlePath).path();
    const std::optional<DiskImage> diskImage = system.diskImageOf(bundleFolder);

    const QString applicationsFolder = system.localApplicationsDirectory();
    const QString destination = applicationsFolder + QLatin1Char('/') + destinationName();
    // A helper inside the very application it would replace: moving it would
    // throw away the application it lives in.
    if (isPathInside(m_bundlePath, destination))
        return Outcome::Continue;
    const bool needsAuthorization = !system.isWritable(applicationsFolder) ||
                                    (system.exists(destination) && !system.isWritable(destination));

    if (!showOffer(needsAuthorization))
        return Outcome::Continue;

    logInfo(QStringLiteral("INFO -- Moving myself to the Applications folder"));
    switch (needsAuthorization ? copyWithAuthorization(destination)
                               : copyWithoutAuthorization(destination)) {
    case Copy::Done:
        break;
    case Copy::Failed:
        showFailure();
        return Outcome::Continue;
    case Copy::Cancelled:
        logInfo(QStringLiteral("INFO -- Not moving because user canceled authorization"));
        return Outcome::Continue;
    case Copy::SwitchedToRunningCopy:
        return Outcome::Quit;
    }

    if (!diskImage && !nested) {
        if (!deleteOrTrash(m_bundlePath))
            logWarning(QStringLiteral(
                "WARNING -- Could not delete application after moving it to Applications folder"));
    }
    if (auto relaunched =
            system.relaunchAfterProcessEnds(QCoreApplication::applicationPid(), destination);
        !relaunched) {
        // The copy is in place, but nothing would start it: keep running rather
        // than leave the user with no application at all.
        logWarning(QStringLiteral("ERROR -- Could not relaunch '%1' (%2)")
                       .arg(destination, relaunched.error()));
        return Outcome::Continue;
    }
    if (diskImage && !nested) {
        if (auto detached = system.detachLater(*diskImage); !detached)
            logWarning(QStringLiteral("WARNING -- Could not detach '%1' (%2)")
                           .arg(diskImage->device, detached.error()));
    }
    return Outcome::Quit;
}

bool BWMoveApplication::isInApplicationsFolder(const QString& path) const {
    if (isInsideAny(path, m_services.system.applicationsDirectories()))
        return true;
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts).contains(QLatin1String("Applications"));
}

QString BWMoveApplication::destinationName() const {
    // A name is one folder name: one with a slash (or "..") would lead out of
    // the Applications folder, so the folder's own name stands in for it.
    if (m_bundleName.isEmpty() || m_bundleName.contains(QLatin1Char('/')) ||
        m_bundleName == QLatin1String(".") || m_bundleName == QLatin1String(".."))
        return QFileInfo(m_bundlePath).fileName();
    QString name = m_bundleName;
    if (m_shortVersion.contains(QLatin1Char('b')))
        name = tr("%1 Beta").arg(name);
    return name + QStringLiteral(".app");
}

bool BWMoveApplication::showOffer(bool needsAuthorization) const {
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = tr("Move to Applications folder?");
    alert.informativeText = tr("I can move myself to the Applications folder if you’d like.");
    if (needsAuthorization) {
        alert.informativeText +=
            QLatin1Char(' ') + tr("Note that this will require an administrator password.");
    } else if (isInsideAny(m_bundlePath, m_services.system.downloadsDirectories())) {
        alert.informativeText +=
            QLatin1Char(' ') + tr("This will keep your Downloads folder uncluttered.");
    }
    alert.buttons = {{tr("Move to Applications Folder"), QStringLiteral("\r")},
                     {tr("Do Not Move"), QStringLiteral("\x1b")}};
    alert.showsSuppressionButton = true;

    const AlertResponse response = m_services.alerts.runModal(alert);
    if (response.button == AlertResponse::kFirstButton)
        return true;
    if (response.suppressionChecked)
        m_services.userDefaults.setBool(QLatin1String(kSuppressAlertKey), true);
    return false;
}

BWMoveApplication::Copy BWMoveApplication::copyWithoutAuthorization(const QString& destination) {
    BundleMoveSystem& system = m_services.system;
    if (system.exists(destination) && system.isApplicationRunning(destination)) {
        if (!trash(destination))
            return Copy::Failed;
    }
    if (system.exists(destination)) {
        if (system.isApplicationRunning(destination)) {
            logInfo(QStringLiteral("INFO -- Switching to an already running version"));
            if (auto opened = system.openApplication(destination); !opened) {
                logWarning(QStringLiteral("ERROR -- Could not open '%1' (%2)")
                               .arg(destination, opened.error()));
                return Copy::Failed;
            }
            return Copy::SwitchedToRunningCopy;
        }
        if (!trash(destination))
            return Copy::Failed;
    }
    if (auto copied = system.copyItem(m_bundlePath, destination); !copied) {
        logWarning(QStringLiteral("ERROR -- Could not copy '%1' to '%2' (%3)")
                       .arg(m_bundlePath, destination, copied.error()));
        logWarning(QStringLiteral("ERROR -- Could not copy myself to %1").arg(destination));
        return Copy::Failed;
    }
    return Copy::Done;
}

BWMoveApplication::Copy BWMoveApplication::copyWithAuthorization(const QString& destination) {
    const QString authorizationError =
        QStringLiteral("ERROR -- Could not copy myself to /Applications with authorization");
    if (QFileInfo(destination).suffix() != QLatin1String("app") ||
        destination.trimmed().isEmpty() || m_bundlePath.trimmed().isEmpty()) {
        logWarning(authorizationError);
        return Copy::Failed;
    }
    const PrivilegedCopy copy =
        m_services.system.copyWithAdministratorRights(m_bundlePath, destination);
    switch (copy.status) {
    case PrivilegedCopy::Status::Copied:
        return Copy::Done;
    case PrivilegedCopy::Status::Cancelled:
        return Copy::Cancelled;
    case PrivilegedCopy::Status::Failed:
        break;
    }
    logWarning(authorizationError);
    if (!copy.message.isEmpty())
        logWarning(QStringLiteral("ERROR -- %1").arg(copy.message));
    return Copy::Failed;
}

bool BWMoveApplication::trash(const QString& path) {
    if (auto trashed = m_services.system.trashItem(path); !trashed) {
        logWarning(QStringLiteral("Trash error: %1").arg(trashed.error()));
        logWarning(QStringLiteral("ERROR -- Could not trash '%1'").arg(path));
        return false;
    }
    return true;
}

bool BWMoveApplication::deleteOrTrash(const QString& path) {
    auto removed = m_services.system.removeItem(path);
    if (removed)
        return true;
    if (!path.contains(QLatin1String("/AppTranslocation/")))
        logWarning(
            QStringLiteral("WARNING -- Could not delete '%1': %2").arg(path, removed.error()));
    return trash(path);
}

void BWMoveApplication::showFailure() const {
    Alert alert;
    alert.style = Alert::Style::Warning;
    alert.messageText = tr("Could not move to Applications folder");
    m_services.alerts.runModal(alert);
}

} // namespace qrv
