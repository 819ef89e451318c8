#include "platform/linux/PreferencesAccess.h"

#include "platform/ShellQuoting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qrv::access {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("PreferencesAccess", text);
}

QString userName(uid_t uid) {
    if (const passwd* entry = ::getpwuid(uid))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(uid);
}

bool canUse(const QString& folder, int mode) {
    return ::access(QFile::encodeName(folder).constData(), mode) == 0;
}

// Why this process cannot use a folder it needs with `mode`, and the fix.
FolderProblem explain(const QString& folder, int mode) {
    const QByteArray path = QFile::encodeName(folder);
    const int error = ::access(path.constData(), mode) == 0 ? 0 : errno;
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {folder,
                tr("“%1” cannot be opened: %2.")
                    .arg(folder, QString::fromLocal8Bit(std::strerror(errno))),
                {}};
    if (!S_ISDIR(st.st_mode))
        return {folder, tr("“%1” is not a folder.").arg(folder), {}};
    struct statvfs fs {};
    if (error == EROFS || (::statvfs(path.constData(), &fs) == 0 && (fs.f_flag & ST_RDONLY)))
        return {folder, tr("“%1” is on a disk that is mounted read-only.").arg(folder), {}};
    const QString quoted = shellQuoted(folder);
    const uid_t self = ::geteuid();
    if (st.st_uid != self) {
        const QString me = userName(self);
        return {folder,
                tr("“%1” belongs to the user “%2”, and %3 may not change it.")
                    .arg(folder, userName(st.st_uid), me),
                QStringLiteral("sudo chown %1 %2 && chmod u+rwx %2").arg(shellQuoted(me), quoted)};
    }
    if ((st.st_mode & S_IRWXU) != S_IRWXU)
        return {folder, tr("You have no permission to change the contents of “%1”.").arg(folder),
                QStringLiteral("chmod u+rwx %1").arg(quoted)};
    // The mode allows it; an access list or a security policy does not.
    return {folder,
            tr("“%1” cannot be changed: %2.")
                .arg(folder, QString::fromLocal8Bit(std::strerror(error ? error : EACCES))),
            {}};
}

// The folder, or the nearest existing one inside the home that would hold it.
QString existingFolderFor(const QString& home, const QString& folder) {
    QString current = folder;
    while (current.size() > home.size() && !QFileInfo::exists(current))
        current = QFileInfo(current).path();
    return current;
}

// Every folder from the home down to `folder` must be searchable, the last one readable and
// writable too.
std::optional<FolderProblem> problemWith(const QString& home, const QString& folder) {
    const QString existing = existingFolderFor(home, folder);
    constexpr int kReadWrite = R_OK | W_OK | X_OK;
    if (canUse(existing, kReadWrite))
        return std::nullopt;
    // A folder above it that cannot be entered is the one to name.
    QString above = home;
    const QStringList below = existing.mid(home.size()).split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : below) {
        if (!canUse(above, X_OK))
            return explain(above, X_OK);
        above += u'/' + part;
    }
    return explain(existing, kReadWrite);
}

} // namespace

std::optional<FolderProblem> preferencesFolderProblem(const QString& home) {
    const QString root = QDir::cleanPath(home);
    const QFileInfo rootInfo(root);
    if (!rootInfo.exists())
        return FolderProblem{root, tr("The folder “%1” does not exist.").arg(root), {}};
    if (!rootInfo.isDir())
        return FolderProblem{root, tr("“%1” is not a folder.").arg(root), {}};
    QStringList folders{root + QStringLiteral("/Library/Preferences")};
    const QDir containers(root + QStringLiteral("/Library/Containers"));
    for (const QString& container : containers.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString preferences =
            containers.filePath(container) + QStringLiteral("/Data/Library/Preferences");
        if (QFileInfo(preferences).isDir())
            folders << preferences;
    }
    for (const QString& folder : folders)
        if (auto problem = problemWith(root, folder))
            return problem;
    return std::nullopt;
}

} // namespace qrv::access
