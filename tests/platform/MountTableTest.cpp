// Finding the volume a folder lives on in the kernel's mount table, and the
// loop devices losetup lists.
#include "platform/linux/MountTable.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace qrv;

namespace {

const QByteArray kMountInfo =
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
    "30 22 0:26 / /tmp rw,nosuid,nodev shared:12 - tmpfs tmpfs rw\n"
    "41 22 7:3 / /media/me/Quorvane\\0401.0 ro,nosuid shared:20 - iso9660 /dev/loop3 ro\n"
    "42 22 0:50 / /home/me/mnt rw,nosuid,nodev shared:21 master:3 - fuse.squashfuse "
    "/home/me/Down\\134loads/Quorvane.sqfs rw,user_id=1000\n"
    "garbage line without separator\n"
    "43 30 0:51 / /tmp rw - tmpfs second rw\n"
    "\n";

TEST(MountTable, ReadsEveryWellFormedLineAndFindsTheDeepestAndLatestMountAboveAFolder) {
    const auto mounts = mounts::parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 5);
    EXPECT_EQ(mounts[2].mountPoint, "/media/me/Quorvane 1.0");
    EXPECT_EQ(mounts[2].fileSystemType, "iso9660");
    EXPECT_EQ(mounts[2].source, "/dev/loop3");
    // Optional fields (shared:, master:) come before the separator in any number.
    EXPECT_EQ(mounts[3].fileSystemType, "fuse.squashfuse");
    EXPECT_EQ(mounts[3].source, "/home/me/Down\\loads/Quorvane.sqfs");

    EXPECT_EQ(mounts::mountHolding(mounts, "/media/me/Quorvane 1.0/Quorvane.app")->source,
              "/dev/loop3");
    EXPECT_EQ(mounts::mountHolding(mounts, "/media/me/Quorvane 1.0")->source, "/dev/loop3");
    // A name that only starts like a mount point is on the root.
    EXPECT_EQ(mounts::mountHolding(mounts, "/media/me/Quorvane 1.01/x")->mountPoint, "/");
    EXPECT_EQ(mounts::mountHolding(mounts, "/tmp/Quorvane.app")->source, "second");
    EXPECT_FALSE(mounts::mountHolding({}, "/tmp").has_value());
}

TEST(MountTable, LoopDevicesWithTheirFiles) {
    const QByteArray json = R"({"loopdevices": [
        {"name":"/dev/loop0", "sizelimit":0, "autoclear":true, "back-file":"/home/me/Quorvane 1.0.iso"},
        {"name":"/dev/loop1", "back-file":null},
        {"name":"/dev/loop2"}
    ]})";
    const auto devices = mounts::parseLoopDevices(json);
    EXPECT_EQ(devices.size(), 1);
    EXPECT_EQ(devices.value("/dev/loop0"), "/home/me/Quorvane 1.0.iso");
    EXPECT_TRUE(mounts::parseLoopDevices("losetup: cannot list").isEmpty());
    EXPECT_TRUE(mounts::parseLoopDevices(R"({"loopdevices": {"name": 3}})").isEmpty());
}

} // namespace
