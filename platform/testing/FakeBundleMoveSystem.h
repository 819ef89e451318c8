#pragma once

#include "platform/BundleMoveSystem.h"

#include <QSet>

namespace qrv::testing {

// A machine of folders that exist only in memory. The test lays out where
// the program runs from, what the Applications folder holds, what is
// writable, what runs and what fails; every operation the move asks for is
// recorded in `calls`, in order ("trash <path>", "copy <from> -> <to>", ...).
class FakeBundleMoveSystem final : public BundleMoveSystem {
  public:
    MainBundle bundle{QStringLiteral("/home/me/Downloads/Quorvane.app"), QStringLiteral("Quorvane"),
                      QStringLiteral("1.0")};
    QStringList applications{QStringLiteral("/home/me/Applications"),
                             QStringLiteral("/opt/Applications")};
    QString local = QStringLiteral("/opt/Applications");
    QStringList downloads{QStringLiteral("/home/me/Downloads")};

    QSet<QString> items;       // folders that exist (with everything below them)
    QSet<QString> readOnly;    // paths this process may not change
    QSet<QString> runningFrom; // folders an application runs from
    std::optional<DiskImage> diskImage;

    // Failures to inject.
    QSet<QString> refusesTrash;
    QSet<QString> refusesRemoval;
    bool copyFails = false;
    PrivilegedCopy privilegedCopy{PrivilegedCopy::Status::Copied, {}};
    bool relaunchFails = false;

    QStringList calls;

    MainBundle mainBundle() const override { return bundle; }
    QStringList applicationsDirectories() const override { return applications; }
    QString localApplicationsDirectory() const override { return local; }
    QStringList downloadsDirectories() const override { return downloads; }

    bool exists(const QString& path) const override {
        return std::any_of(items.begin(), items.end(),
                           [&](const QString& item) { return isPathInside(item, path); });
    }
    bool isWritable(const QString& path) const override { return !readOnly.contains(path); }

    std::optional<DiskImage> diskImageOf(const QString&) override { return diskImage; }
    bool isApplicationRunning(const QString& bundlePath) override {
        return runningFrom.contains(bundlePath);
    }

    Result<void> copyItem(const QString& source, const QString& destination) override {
        calls.append(QStringLiteral("copy %1 -> %2").arg(source, destination));
        if (copyFails || exists(destination))
            return makeError(QStringLiteral("Disk full"));
        items.insert(destination);
        return success();
    }
    Result<void> removeItem(const QString& path) override {
        calls.append(QStringLiteral("remove %1").arg(path));
        if (refusesRemoval.contains(path))
            return makeError(QStringLiteral("Permission denied"));
        forget(path);
        return success();
    }
    Result<void> trashItem(const QString& path) override {
        calls.append(QStringLiteral("trash %1").arg(path));
        if (refusesTrash.contains(path))
            return makeError(QStringLiteral("No trash on this volume"));
        forget(path);
        return success();
    }
    PrivilegedCopy copyWithAdministratorRights(const QString& source,
                                               const QString& destination) override {
        calls.append(QStringLiteral("privileged copy %1 -> %2").arg(source, destination));
        if (privilegedCopy.status == PrivilegedCopy::Status::Copied) {
            forget(destination);
            items.insert(destination);
        }
        return privilegedCopy;
    }

    Result<void> openApplication(const QString& bundlePath) override {
        calls.append(QStringLiteral("open %1").arg(bundlePath));
        return success();
    }
    Result<void> relaunchAfterProcessEnds(qint64 processId, const QString& bundlePath) override {
        calls.append(QStringLiteral("relaunch %1 after %2").arg(bundlePath).arg(processId));
        if (relaunchFails)
            return makeError(QStringLiteral("/bin/sh could not be started"));
        return success();
    }
    Result<void> detachLater(const DiskImage& image) override {
        calls.append(QStringLiteral("detach %1").arg(image.device));
        return success();
    }

  private:
    void forget(const QString& path) {
        for (auto it = items.begin(); it != items.end();)
            it = isPathInside(*it, path) ? items.erase(it) : std::next(it);
        runningFrom.remove(path);
    }
};

} // namespace qrv::testing
