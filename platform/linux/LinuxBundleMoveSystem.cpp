#include "platform/linux/LinuxBundleMoveSystem.h"

#include "platform/ApplicationLocation.h"
#include "platform/ShellQuoting.h"
#include "platform/bundles/ApplicationBundles.h"
#include "platform/linux/MountTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio> // renameat2
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qrv {

namespace fs = std::filesystem;

namespace {

fs::path nativePath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

QString fromNative(const fs::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

QString errorText(const std::error_code& error) {
    return QString::fromLocal8Bit(error.message());
}

// The path with the symbolic links of its existing part resolved; a missing
// tail (a folder still to be made) is kept as written.
QString resolvedPath(const QString& path) {
    QString existing = QDir::cleanPath(path);
    QString tail;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/") && !existing.isEmpty()) {
        tail = QLatin1Char('/') + QFileInfo(existing).fileName() + tail;
        existing = QFileInfo(existing).path();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        return QDir::cleanPath(path);
    return QDir::cleanPath(canonical + tail);
}

QStringList withResolvedForms(const QStringList& folders) {
    QStringList all;
    for (const QString& folder : folders) {
        for (const QString& form : {QDir::cleanPath(folder), resolvedPath(folder)})
            if (!all.contains(form))
                all.append(form);
    }
    return all;
}

QString commandLine(const QStringList& words) {
    QStringList quoted;
    for (const QString& word : words)
        quoted.append(shellQuoted(word));
    return quoted.join(QLatin1Char(' '));
}

// Runs as the administrator with the paths as arguments, so no path is ever
// part of the script's text. The old copy must really be gone before cp runs:
// cp onto an existing folder would put the new copy inside the old one.
constexpr char kPrivilegedCopyScript[] = R"(/bin/mkdir -p -- "$1" || exit 3
/bin/rm -rf -- "$2"
[ $? -gt 128 ] && exit 4
{ [ -e "$2" ] || [ -L "$2" ]; } && exit 5
exec /bin/cp -pR -- "$3" "$2")";

// pkexec answers 126 when the user dismissed the prompt and 127 when the
// authorization could not be obtained.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

QString privilegedCopyFailure(int exitCode, const QString& output) {
    switch (exitCode) {
    case 3:
        return QStringLiteral("the Applications folder could not be created");
    case 4:
        return QStringLiteral("removing the existing copy was interrupted");
    case 5:
        return QStringLiteral("the existing copy could not be removed");
    case kPkexecNotAuthorized:
        return output.isEmpty() ? QStringLiteral("the authorization could not be obtained")
                                : output;
    default:
        return output.isEmpty() ? QStringLiteral("the copy failed (status %1)").arg(exitCode)
                                : output;
    }
}

} // namespace

LinuxBundleMoveSystem::Options LinuxBundleMoveSystem::Options::forThisProcess() {
    Options options;
    options.applicationsDirectories = qEnvironmentVariable("QUORVANE_APPLICATIONS_DIRS")
                                          .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (options.applicationsDirectories.isEmpty()) {
        options.applicationsDirectories = {QDir::homePath() + QStringLiteral("/Applications"),
                                           QStringLiteral("/opt/Applications")};
    }
    options.executablePath = QCoreApplication::applicationFilePath();
    options.arguments = QCoreApplication::arguments().mid(1);
    return options;
}

LinuxBundleMoveSystem::LinuxBundleMoveSystem(Options options)
    : m_options(std::move(options)) {}

std::unique_ptr<BundleMoveSystem> createNativeBundleMoveSystem() {
    return std::make_unique<LinuxBundleMoveSystem>(
        LinuxBundleMoveSystem::Options::forThisProcess());
}

MainBundle LinuxBundleMoveSystem::mainBundle() const {
    MainBundle bundle;
    bundle.path = ApplicationLocation::forExecutable(m_options.executablePath).bundlePath;
    if (bundle.path.isEmpty())
        return bundle;
    if (const auto read = bundles::read(bundle.path)) {
        bundle.name = read->infoDictionary.value(QStringLiteral("CFBundleName")).toString();
        bundle.shortVersion =
            read->infoDictionary.value(QStringLiteral("CFBundleShortVersionString")).toString();
    }
    return bundle;
}

QStringList LinuxBundleMoveSystem::applicationsDirectories() const {
    return withResolvedForms(m_options.applicationsDirectories);
}

QString LinuxBundleMoveSystem::localApplicationsDirectory() const {
    if (m_options.applicationsDirectories.isEmpty())
        return {};
    return resolvedPath(m_options.applicationsDirectories.last());
}

QStringList LinuxBundleMoveSystem::downloadsDirectories() const {
    QStringList folders = QStandardPaths::standardLocations(QStandardPaths::DownloadLocation);
    folders.append(QDir::homePath() + QStringLiteral("/Downloads"));
    return withResolvedForms(folders);
}

bool LinuxBundleMoveSystem::exists(const QString& path) const {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

bool LinuxBundleMoveSystem::isWritable(const QString& path) const {
    QString existing = QDir::cleanPath(path);
    while (!exists(existing) && existing != QLatin1String("/") && !existing.isEmpty())
        existing = QFileInfo(existing).path();
    return ::access(QFile::encodeName(existing).constData(), W_OK) == 0;
}

std::optional<DiskImage> LinuxBundleMoveSystem::diskImageOf(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (canonical.isEmpty() || !table.open(QIODevice::ReadOnly))
        return std::nullopt;
    const auto mount = mounts::mountHolding(mounts::parseMountInfo(table.readAll()), canonical);
    if (!mount || mount->mountPoint == QLatin1String("/"))
        return std::nullopt;

    if (mount->source.startsWith(QLatin1String("/dev/loop"))) {
        const QString losetup = findTool(QStringLiteral("losetup"));
        if (losetup.isEmpty())
            return std::nullopt;
        QProcess list;
        list.start(losetup, {QStringLiteral("--json"), QStringLiteral("--list")});
        if (!list.waitForFinished(30000) || list.exitStatus() != QProcess::NormalExit) {
            list.kill();
            list.waitForFinished();
            return std::nullopt;
        }
        const auto devices = mounts::parseLoopDevices(list.readAllStandardOutput());
        if (!devices.contains(mount->source))
            return std::nullopt;
        return DiskImage{DiskImage::Kind::Loop, mount->source, mount->mountPoint,
                         devices.value(mount->source)};
    }
    const bool fuse = mount->fileSystemType == QLatin1String("fuse") ||
                      mount->fileSystemType.startsWith(QLatin1String("fuse."));
    if (fuse && QFileInfo(mount->source).isFile())
        return DiskImage{DiskImage::Kind::Fuse, mount->source, mount->mountPoint, mount->source};
    return std::nullopt;
}

bool LinuxBundleMoveSystem::isApplicationRunning(const QString& bundlePath) {
    const QStringList folders = withResolvedForms({bundlePath});
    const QStringList processes =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& process : processes) {
        bool numeric = false;
        process.toLongLong(&numeric);
        if (!numeric)
            continue;
        std::error_code error;
        const fs::path target = fs::read_symlink(
            nativePath(QStringLiteral("/proc/") + process + QStringLiteral("/exe")), error);
        if (error) // kernel threads, and other users' processes
            continue;
        QString executable = fromNative(target);
        if (executable.endsWith(QLatin1String(" (deleted)")))
            executable.chop(10); // the program was replaced or removed while it runs
        for (const QString& folder : folders)
            if (isPathInside(executable, folder))
                return true;
    }
    return false;
}

Result<void> LinuxBundleMoveSystem::copyItem(const QString& source, const QString& destination) {
    if (exists(destination))
        return makeError(QStringLiteral("“%1” already exists").arg(destination));
    const QFileInfo target(destination);
    if (!QDir().mkpath(target.path()))
        return makeError(QStringLiteral("could not create the folder “%1”").arg(target.path()));
    // Copied under a hidden name and renamed when complete, so an interrupted
    // copy never looks like an application.
    const QString partial = target.path() + QStringLiteral("/.") + target.fileName() +
                            QStringLiteral(".partial-%1").arg(QCoreApplication::applicationPid());
    std::error_code error;
    fs::remove_all(nativePath(partial), error);
    fs::copy(nativePath(source), nativePath(partial),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (!error && ::renameat2(AT_FDCWD, QFile::encodeName(partial).constData(), AT_FDCWD,
                              QFile::encodeName(destination).constData(), RENAME_NOREPLACE) != 0)
        error = std::error_code(errno, std::generic_category());
    if (error) {
        std::error_code ignored;
        fs::remove_all(nativePath(partial), ignored);
        return makeError(errorText(error));
    }
    return success();
}

Result<void> LinuxBundleMoveSystem::removeItem(const QString& path) {
    std::error_code error;
    fs::remove_all(nativePath(path), error);
    if (error)
        return makeError(errorText(error));
    return success();
}

Result<void> LinuxBundleMoveSystem::trashItem(const QString& path) {
    // The Trash is made when first needed. Qt does not make the user's Trash,
    // and without one it files the item under "files/" of the current folder
    // and answers success.
    const QString homeTrash =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/Trash");
    if (!QFileInfo::exists(homeTrash) && QDir().mkpath(homeTrash))
        QFile::setPermissions(homeTrash, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner);
    QDir().mkpath(homeTrash + QStringLiteral("/files"));
    QDir().mkpath(homeTrash + QStringLiteral("/info"));

    QDir current = QDir::current();
    const bool hadFiles = current.exists(QStringLiteral("files"));
    const bool hadInfo = current.exists(QStringLiteral("info"));
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash))
        return makeError(QStringLiteral("the Trash did not take “%1”").arg(path));
    if (QDir::isRelativePath(inTrash)) {
        const QString stray = current.absoluteFilePath(inTrash);
        QFile::rename(stray, path);
        current.remove(QStringLiteral("info/") + QFileInfo(stray).fileName() +
                       QStringLiteral(".trashinfo"));
        if (!hadFiles)
            current.rmdir(QStringLiteral("files"));
        if (!hadInfo)
            current.rmdir(QStringLiteral("info"));
        return makeError(QStringLiteral("there is no Trash for “%1”").arg(path));
    }
    return success();
}

PrivilegedCopy LinuxBundleMoveSystem::copyWithAdministratorRights(const QString& source,
                                                                  const QString& destination) {
    const QString pkexec = findTool(QStringLiteral("pkexec"));
    if (pkexec.isEmpty())
        return {
            PrivilegedCopy::Status::Failed,
            QStringLiteral(
                "pkexec (polkit) is not installed, so no administrator password can be asked for")};
    QProcess copy;
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.start(pkexec, {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                        QString::fromLatin1(kPrivilegedCopyScript), QStringLiteral("sh"),
                        QFileInfo(destination).path(), destination, source});
    // No time limit: the user may take a while with the password.
    if (!copy.waitForFinished(-1) || copy.exitStatus() != QProcess::NormalExit)
        return {PrivilegedCopy::Status::Failed, copy.errorString()};
    const QString output = QString::fromLocal8Bit(copy.readAll()).trimmed();
    if (copy.exitCode() == 0)
        return {PrivilegedCopy::Status::Copied, {}};
    if (copy.exitCode() == kPkexecDismissed)
        return {PrivilegedCopy::Status::Cancelled, {}};
    return {PrivilegedCopy::Status::Failed, privilegedCopyFailure(copy.exitCode(), output)};
}

Result<void> LinuxBundleMoveSystem::openApplication(const QString& bundlePath) {
    const QString executable = executableIn(bundlePath);
    if (!QFileInfo(executable).isExecutable())
        return makeError(QStringLiteral("“%1” is no executable").arg(executable));
    if (!QProcess::startDetached(executable, m_options.arguments))
        return makeError(QStringLiteral("“%1” could not be started").arg(executable));
    return success();
}

QString LinuxBundleMoveSystem::relaunchScript(qint64 processId, const QString& bundlePath) const {
    // The shell's own kill, and no ">&" (a syntax error outside bash).
    return QStringLiteral("(while kill -0 %1 >/dev/null 2>&1; do /bin/sleep 0.1; done; exec %2) &")
        .arg(processId)
        .arg(commandLine(QStringList{executableIn(bundlePath)} + m_options.arguments));
}

Result<void> LinuxBundleMoveSystem::relaunchAfterProcessEnds(qint64 processId,
                                                             const QString& bundlePath) {
    const QString executable = executableIn(bundlePath);
    if (!QFileInfo(executable).isExecutable())
        return makeError(QStringLiteral("“%1” is no executable").arg(executable));
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"),
                                 {QStringLiteral("-c"), relaunchScript(processId, bundlePath)}))
        return makeError(QStringLiteral("/bin/sh could not be started"));
    return success();
}

QString LinuxBundleMoveSystem::detachScript(const DiskImage& image) const {
    QString command;
    if (image.kind == DiskImage::Kind::Loop) {
        const QString udisksctl = findTool(QStringLiteral("udisksctl"));
        const QString umount = findTool(QStringLiteral("umount"));
        const QString losetup = findTool(QStringLiteral("losetup"));
        if (!udisksctl.isEmpty()) {
            command = commandLine({udisksctl, QStringLiteral("unmount"),
                                   QStringLiteral("--no-user-interaction"), QStringLiteral("-b"),
                                   image.device}) +
                      QStringLiteral(" && ") +
                      commandLine({udisksctl, QStringLiteral("loop-delete"),
                                   QStringLiteral("--no-user-interaction"), QStringLiteral("-b"),
                                   image.device});
        } else if (!umount.isEmpty() && !losetup.isEmpty()) {
            command = commandLine({umount, image.device}) + QStringLiteral(" && ") +
                      commandLine({losetup, QStringLiteral("-d"), image.device});
        }
    } else {
        QString fusermount = findTool(QStringLiteral("fusermount3"));
        if (fusermount.isEmpty())
            fusermount = findTool(QStringLiteral("fusermount"));
        const QString umount = findTool(QStringLiteral("umount"));
        if (!fusermount.isEmpty())
            command = commandLine({fusermount, QStringLiteral("-u"), image.mountPoint});
        else if (!umount.isEmpty())
            command = commandLine({umount, image.mountPoint});
    }
    if (command.isEmpty())
        return {};
    return QStringLiteral("(/bin/sleep %1 && %2) &").arg(m_options.detachDelaySeconds).arg(command);
}

Result<void> LinuxBundleMoveSystem::detachLater(const DiskImage& image) {
    const QString script = detachScript(image);
    if (script.isEmpty())
        return makeError(QStringLiteral("no tool to detach “%1” is installed").arg(image.device));
    if (!QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}))
        return makeError(QStringLiteral("/bin/sh could not be started"));
    return success();
}

QString LinuxBundleMoveSystem::findTool(const QString& name) const {
    QString found;
    if (!m_options.toolFolders.isEmpty())
        found = QStandardPaths::findExecutable(name, m_options.toolFolders);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(
            name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return found;
}

QString LinuxBundleMoveSystem::executableIn(const QString& bundlePath) const {
    QString name;
    if (const auto bundle = bundles::read(bundlePath))
        name = bundle->infoDictionary.value(QStringLiteral("CFBundleExecutable")).toString();
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        name = QFileInfo(m_options.executablePath).fileName();
    return bundlePath + QStringLiteral("/Contents/MacOS/") + name;
}

} // namespace qrv
