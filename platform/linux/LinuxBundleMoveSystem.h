#pragma once

#include "platform/BundleMoveSystem.h"

namespace qrv {

// Moving the application folder on Linux: Applications folders are
// ~/Applications (the user's) and /opt/Applications (the machine's, where
// add-on software goes); images are loop devices or FUSE mounts of a file;
// administrator rights come from polkit (pkexec); the Trash is the
// freedesktop one; running processes are found through /proc.
class LinuxBundleMoveSystem final : public BundleMoveSystem {
  public:
    struct Options {
        // Every Applications folder, the user's first; the last one is where
        // moved applications go.
        QStringList applicationsDirectories;
        QString executablePath; // this program's, symbolic links resolved
        QStringList arguments;  // handed on to the copy when it is started
        // Searched for pkexec, losetup, udisksctl, umount and fusermount
        // before PATH (then /usr/sbin and /sbin, which a user's PATH may lack).
        QStringList toolFolders;
        int detachDelaySeconds = 5;

        // ~/Applications and /opt/Applications, or the colon-separated folders
        // of QUORVANE_APPLICATIONS_DIRS; the running program and its arguments.
        static Options forThisProcess();
    };

    explicit LinuxBundleMoveSystem(Options options);

    MainBundle mainBundle() const override;
    QStringList applicationsDirectories() const override;
    QString localApplicationsDirectory() const override;
    QStringList downloadsDirectories() const override;
    bool exists(const QString& path) const override;
    bool isWritable(const QString& path) const override;
    std::optional<DiskImage> diskImageOf(const QString& folder) override;
    bool isApplicationRunning(const QString& bundlePath) override;
    Result<void> copyItem(const QString& source, const QString& destination) override;
    Result<void> removeItem(const QString& path) override;
    Result<void> trashItem(const QString& path) override;
    PrivilegedCopy copyWithAdministratorRights(const QString& source,
                                               const QString& destination) override;
    Result<void> openApplication(const QString& bundlePath) override;
    Result<void> relaunchAfterProcessEnds(qint64 processId, const QString& bundlePath) override;
    Result<void> detachLater(const DiskImage& image) override;

    // The shell commands behind the detached jobs, with every path quoted.
    QString relaunchScript(qint64 processId, const QString& bundlePath) const;
    QString detachScript(const DiskImage& image) const;

  private:
    QString findTool(const QString& name) const;
    QString executableIn(const QString& bundlePath) const;

    Options m_options;
};

} // namespace qrv
