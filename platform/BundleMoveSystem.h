#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace qrv {

// The application folder (Name.app) the program runs from, as its
// Contents/Info.plist describes it.
struct MainBundle {
    QString path;         // empty when the program does not run from an application folder
    QString name;         // CFBundleName
    QString shortVersion; // CFBundleShortVersionString
};

// A mounted single-file image the application folder lives on.
struct DiskImage {
    enum class Kind { Loop, Fuse };
    Kind kind = Kind::Loop;
    QString device;     // the loop device, or the image file behind a FUSE mount
    QString mountPoint; // where the image is mounted
    QString imageFile;  // the file the image was attached from
};

// What handing the copy to an administrator's rights came to.
struct PrivilegedCopy {
    enum class Status { Copied, Cancelled, Failed };
    Status status = Status::Failed;
    QString message; // why, when it failed
};

// The system services that moving the program's own application folder into
// an Applications folder needs. Every file operation, child process and
// process query of the move goes through here, so the move's decisions can be
// tested without touching the machine.
class BundleMoveSystem {
  public:
    virtual ~BundleMoveSystem() = default;

    virtual MainBundle mainBundle() const = 0;

    // The Applications folders of every domain, the user's first (each also
    // with its symbolic links resolved, where that differs).
    virtual QStringList applicationsDirectories() const = 0;
    // Where a moved application goes: the local domain's Applications folder,
    // with symbolic links resolved. It may not exist yet.
    virtual QString localApplicationsDirectory() const = 0;
    // The user's download folders.
    virtual QStringList downloadsDirectories() const = 0;

    virtual bool exists(const QString& path) const = 0;
    // True when the item (or, for a missing one, the folder that would hold
    // it) can be changed by this process.
    virtual bool isWritable(const QString& path) const = 0;

    // The image the folder's volume is mounted from; nothing when the volume
    // is an ordinary file system.
    virtual std::optional<DiskImage> diskImageOf(const QString& folder) = 0;
    // True when some process runs an executable that lies inside the folder.
    virtual bool isApplicationRunning(const QString& bundlePath) = 0;

    // Copies a folder tree with its permissions and symbolic links; the
    // destination must not exist. Its parent folder is created when missing.
    virtual Result<void> copyItem(const QString& source, const QString& destination) = 0;
    virtual Result<void> removeItem(const QString& path) = 0;
    virtual Result<void> trashItem(const QString& path) = 0;
    // Replaces the destination with a copy of the source, with an
    // administrator's rights (the user is asked to authenticate).
    virtual PrivilegedCopy copyWithAdministratorRights(const QString& source,
                                                       const QString& destination) = 0;

    // Starts the application in that folder and does not wait for it.
    virtual Result<void> openApplication(const QString& bundlePath) = 0;
    // Starts, detached, a watcher that opens the application in that folder
    // once the process `processId` has ended.
    virtual Result<void> relaunchAfterProcessEnds(qint64 processId, const QString& bundlePath) = 0;
    // Starts, detached, a job that detaches the image a few seconds later.
    virtual Result<void> detachLater(const DiskImage& image) = 0;
};

// The real services of this system.
std::unique_ptr<BundleMoveSystem> createNativeBundleMoveSystem();

// True when the path is the folder or lies below it; a name that merely starts
// like the folder ("/opt/Applications2") is not inside "/opt/Applications".
bool isPathInside(const QString& path, const QString& folder);

} // namespace qrv
