#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// The kernel's table of mounts (/proc/self/mountinfo) and the loop devices
// losetup reports, read as values so that finding the image an application
// runs from can be checked against any table.
namespace qrv::mounts {

struct Mount {
    QString mountPoint;
    QString fileSystemType; // e.g. "ext4", "iso9660", "fuse.squashfuse"
    QString source;         // e.g. "/dev/loop3", or the file a FUSE image was mounted from
};

// One entry a line, in mount order; malformed lines are skipped. The octal
// escapes the kernel writes for spaces, tabs, line breaks and backslashes are
// undone.
QList<Mount> parseMountInfo(const QByteArray& text);

// The mount whose tree holds the (canonical) path: the longest mount point
// above it, the latest of equal ones (a later mount hides an earlier one).
std::optional<Mount> mountHolding(const QList<Mount>& mounts, const QString& path);

// `losetup --json --list`: loop device -> the file it is attached to. Devices
// without a backing file are left out; output that is not the expected JSON
// answers an empty table.
QHash<QString, QString> parseLoopDevices(const QByteArray& json);

} // namespace qrv::mounts
