// The real services behind moving the application folder, run in a scratch
// folder: copying, the Trash, finding running programs, the privileged copy
// and the detached jobs, with paths no shell may misread.
#include "FileHelpers.h"
#include "platform/ShellQuoting.h"
#include "platform/linux/LinuxBundleMoveSystem.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::readFile;
using qrv::testing::writeFile;

namespace {

// Names a shell would split, substitute or end a line at.
const QStringList kHostileNames{
    QStringLiteral("Plain"),
    QStringLiteral("With space"),
    QStringLiteral("It's \"quoted\""),
    QStringLiteral("$(touch PWNED) `touch PWNED` ${HOME}"),
    QStringLiteral("line\nbreak; rm -rf nothing &"),
    QStringLiteral("'\\'' ends '"),
};

constexpr auto kExecutable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::ExeGroup;

class BundleMoveSystemTest : public ::testing::Test {
  protected:
    QString scratch(const QString& relative) const { return home.file(relative); }

    // Name.app with an Info.plist and an executable shell script.
    QString makeBundle(const QString& path, const QByteArray& script) {
        const QVariantMap info{
            {QStringLiteral("CFBundleName"), QStringLiteral("Quorvane")},
            {QStringLiteral("CFBundleShortVersionString"), QStringLiteral("2.0b3")},
            {QStringLiteral("CFBundleExecutable"), QStringLiteral("run me")}};
        EXPECT_TRUE(writeFile(path + "/Contents/Info.plist", plist::encode(info).value()));
        EXPECT_TRUE(
            writeFile(path + "/Contents/MacOS/run me", "#!/bin/sh\n" + script, kExecutable));
        return path;
    }

    // A tool that writes its arguments, one a line, to `record`, then runs `then`.
    QString makeTool(const QString& name, const QString& record, const QByteArray& then = {}) {
        const QString path = scratch("tools/" + name);
        EXPECT_TRUE(writeFile(path,
                              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> " +
                                  shellQuoted(record).toUtf8() + "\n" + then,
                              kExecutable));
        return path;
    }

    LinuxBundleMoveSystem system(QStringList arguments = {}) {
        LinuxBundleMoveSystem::Options options;
        options.applicationsDirectories = {scratch("user/Applications"), scratch("Applications")};
        options.executablePath = scratch("Downloads/Quorvane.app/Contents/MacOS/run me");
        options.arguments = std::move(arguments);
        options.toolFolders = {scratch("tools")};
        options.detachDelaySeconds = 0;
        return LinuxBundleMoveSystem(options);
    }

    qrv::testing::TempHome home;
};

TEST_F(BundleMoveSystemTest, ShellQuotingSurvivesAnyText) {
    QStringList texts = kHostileNames;
    texts << QString() << QStringLiteral("'") << QStringLiteral("tab\there");
    for (const QString& text : texts) {
        QProcess shell;
        shell.setWorkingDirectory(home.path());
        shell.start("/bin/sh", {"-c", "printf %s " + shellQuoted(text)});
        ASSERT_TRUE(shell.waitForFinished());
        EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()), text);
    }
    EXPECT_FALSE(QFileInfo::exists(scratch("PWNED")));
}

TEST_F(BundleMoveSystemTest, CopiesTheWholeFolderAndNeverHalfOrOverAnother) {
    const QString source = makeBundle(scratch("Downloads/Quorvane.app"), "exit 0\n");
    ASSERT_TRUE(writeFile(source + "/Contents/Resources/data/deep.txt", "deep"));
    ASSERT_TRUE(QFile::link("../MacOS/run me", source + "/Contents/Resources/link"));
    auto move = system();

    for (const QString& name : kHostileNames) {
        const QString destination = scratch("Applications/" + name + ".app");
        ASSERT_TRUE(move.copyItem(source, destination).ok()) << name.toStdString();
        EXPECT_EQ(readFile(destination + "/Contents/Resources/data/deep.txt"), "deep");
        EXPECT_TRUE(QFileInfo(destination + "/Contents/MacOS/run me").isExecutable());
        EXPECT_EQ(QFile::symLinkTarget(destination + "/Contents/Resources/link"),
                  destination + "/Contents/MacOS/run me"); // still relative, inside the copy
    }
    EXPECT_TRUE(move.exists(scratch("Applications/Plain.app")));
    EXPECT_EQ(move.mainBundle().path, source);
    EXPECT_EQ(move.mainBundle().shortVersion, "2.0b3");

    // Never over an existing item, and nothing half-copied stays behind.
    const QString existing = scratch("Applications/Plain.app");
    ASSERT_TRUE(writeFile(existing + "/marker", "old"));
    EXPECT_FALSE(move.copyItem(source, existing).ok());
    EXPECT_EQ(readFile(existing + "/marker"), "old");
    EXPECT_FALSE(
        move.copyItem(scratch("Downloads/Missing.app"), scratch("Applications/M.app")).ok());
    EXPECT_FALSE(move.exists(scratch("Applications/M.app")));
    EXPECT_EQ(QDir(scratch("Applications"))
                  .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                  .filter(".partial"),
              QStringList());

    ASSERT_TRUE(move.removeItem(existing).ok());
    EXPECT_FALSE(move.exists(existing));
}

TEST_F(BundleMoveSystemTest, TrashesIntoTheUsersTrashAndOnlyThere) {
    const QString item = makeBundle(scratch("Applications/It's here.app"), "exit 0\n");
    ASSERT_TRUE(writeFile(scratch("blocker"), "a file, not a folder"));
    auto move = system();
    const QByteArray previousDataHome = qgetenv("XDG_DATA_HOME");
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(home.path());
    QStandardPaths::setTestModeEnabled(false);
    // A Trash that cannot be made: the item stays where it is.
    qputenv("XDG_DATA_HOME", scratch("blocker/data").toUtf8());
    const auto refused = move.trashItem(item);
    // The user's data folder, with no Trash in it yet.
    qputenv("XDG_DATA_HOME", scratch("data").toUtf8());
    const auto trashed = move.trashItem(item);
    QStandardPaths::setTestModeEnabled(true);
    qputenv("XDG_DATA_HOME", previousDataHome);
    QDir::setCurrent(previousFolder);

    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(QFileInfo::exists(scratch("files")));
    ASSERT_TRUE(trashed.ok()) << trashed.error().toStdString();
    EXPECT_FALSE(QFileInfo::exists(item));
    EXPECT_TRUE(QFileInfo(scratch("data/Trash/files/It's here.app/Contents/Info.plist")).isFile());
    EXPECT_TRUE(QFileInfo(scratch("data/Trash/info/It's here.app.trashinfo")).isFile());
    EXPECT_FALSE(move.trashItem(item).ok());
}

TEST_F(BundleMoveSystemTest, FindsAProgramRunningFromAFolder) {
    const QString bundle =
        makeBundle(scratch("Applications/" + kHostileNames[3] + ".app"), "exec /bin/sleep 60\n");
    // The script execs sleep, so copy sleep in to have an executable of the folder.
    ASSERT_TRUE(QFile::copy("/bin/sleep", bundle + "/Contents/MacOS/sleep"));
    ASSERT_TRUE(QFile::link(bundle, scratch("Link to it.app")));
    auto move = system();
    EXPECT_FALSE(move.isApplicationRunning(bundle));

    QProcess running;
    running.start(bundle + "/Contents/MacOS/sleep", {"60"});
    ASSERT_TRUE(running.waitForStarted());
    EXPECT_TRUE(move.isApplicationRunning(bundle));
    EXPECT_TRUE(move.isApplicationRunning(scratch("Link to it.app")));
    EXPECT_FALSE(move.isApplicationRunning(bundle.chopped(4))); // a prefix of the name only
    EXPECT_FALSE(move.isApplicationRunning(scratch("Applications/Other.app")));
    running.kill();
    running.waitForFinished();
    EXPECT_FALSE(move.isApplicationRunning(bundle));
}

TEST_F(BundleMoveSystemTest, ThePrivilegedCopyReplacesTheOldCopyAndTellsACancelledPrompt) {
    const QString record = scratch("pkexec.log");
    const QString source =
        makeBundle(scratch("Downloads/" + kHostileNames[4] + "/Quorvane.app"), "exit 0\n");
    const QString destination = scratch("Applications/" + kHostileNames[3] + ".app");
    ASSERT_TRUE(writeFile(destination + "/old", "old"));

    makeTool("pkexec", record, "exec \"$@\"\n");
    auto move = system();
    PrivilegedCopy copy = move.copyWithAdministratorRights(source, destination);
    EXPECT_EQ(copy.status, PrivilegedCopy::Status::Copied) << copy.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(destination + "/old"));
    EXPECT_TRUE(QFileInfo(destination + "/Contents/MacOS/run me").isExecutable());
    EXPECT_FALSE(QFileInfo::exists(destination + "/Quorvane.app")); // not copied into the old one
    EXPECT_FALSE(QFileInfo::exists(scratch("PWNED")));
    // The paths reach the administrator's shell as arguments, never as script text.
    EXPECT_TRUE(readFile(record).endsWith(
        (QFileInfo(destination).path() + "\n" + destination + "\n" + source + "\n").toUtf8()));

    makeTool("pkexec", record, "exit 126\n");
    EXPECT_EQ(move.copyWithAdministratorRights(source, destination).status,
              PrivilegedCopy::Status::Cancelled);
    makeTool("pkexec", record, "echo 'No authentication agent found.' >&2; exit 127\n");
    copy = move.copyWithAdministratorRights(source, destination);
    EXPECT_EQ(copy.status, PrivilegedCopy::Status::Failed);
    EXPECT_EQ(copy.message, "No authentication agent found.");
    // A copy that fails half-way (here: no source) is a failure, not a success.
    makeTool("pkexec", record, "exec \"$@\"\n");
    copy = move.copyWithAdministratorRights(scratch("Downloads/Gone.app"), destination);
    EXPECT_EQ(copy.status, PrivilegedCopy::Status::Failed);
}

TEST_F(BundleMoveSystemTest, RelaunchesTheCopyOnlyOnceThisProcessHasEnded) {
    const QString started = scratch("started");
    const QString bundle =
        makeBundle(scratch("Applications/" + kHostileNames[2] + " " + kHostileNames[4] + ".app"),
                   "cd \"$(dirname \"$0\")\" && for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; "
                   "done > " +
                       shellQuoted(started).toUtf8() + "\n");
    auto move = system({kHostileNames[3], kHostileNames[5]});

    QProcess waitedFor; // stands in for this program
    waitedFor.start("/bin/sleep", {"60"});
    ASSERT_TRUE(waitedFor.waitForStarted());
    ASSERT_TRUE(move.relaunchAfterProcessEnds(waitedFor.processId(), bundle).ok());
    EXPECT_FALSE(qrv::testing::waitUntil([&] { return QFileInfo::exists(started); }, 500));
    waitedFor.kill();
    waitedFor.waitForFinished();
    const QString expected =
        bundle + "/Contents/MacOS/run me\n" + kHostileNames[3] + "\n" + kHostileNames[5] + "\n";
    EXPECT_TRUE(qrv::testing::waitUntil([&] { return readFile(started) == expected.toUtf8(); }))
        << readFile(started).toStdString();
    EXPECT_FALSE(QFileInfo::exists(scratch("PWNED")));
    EXPECT_FALSE(move.relaunchAfterProcessEnds(1, scratch("Applications/Missing.app")).ok());
}

TEST_F(BundleMoveSystemTest, DetachesTheImageWithTheToolAtHand) {
    const QString record = scratch("detach.log");
    auto move = system();
    const DiskImage loop{DiskImage::Kind::Loop, "/dev/loop7" + kHostileNames[3],
                         scratch("mnt/Quor vane"), scratch("Quorvane.img")};
    makeTool("udisksctl", record);
    ASSERT_TRUE(move.detachLater(loop).ok());
    const QByteArray expected = "unmount\n--no-user-interaction\n-b\n" + loop.device.toUtf8() +
                                "\nloop-delete\n--no-user-interaction\n-b\n" +
                                loop.device.toUtf8() + "\n";
    EXPECT_TRUE(qrv::testing::waitUntil([&] { return readFile(record) == expected; }))
        << readFile(record).toStdString();

    QFile::remove(record);
    makeTool("fusermount3", record);
    const DiskImage fuse{DiskImage::Kind::Fuse, scratch("Quorvane.sqfs"),
                         scratch("mnt/It's \"here\""), scratch("Quorvane.sqfs")};
    ASSERT_TRUE(move.detachLater(fuse).ok());
    EXPECT_TRUE(qrv::testing::waitUntil(
        [&] { return readFile(record) == "-u\n" + fuse.mountPoint.toUtf8() + "\n"; }));
    EXPECT_FALSE(QFileInfo::exists(scratch("PWNED")));

    // An ordinary folder is on no image.
    EXPECT_FALSE(move.diskImageOf(home.path()).has_value());
}

TEST_F(BundleMoveSystemTest, ApplicationsFoldersAreKnownAlsoByTheirResolvedPaths) {
    ASSERT_TRUE(QDir().mkpath(scratch("real")));
    ASSERT_TRUE(QFile::link(scratch("real"), scratch("linked")));
    LinuxBundleMoveSystem::Options options;
    options.applicationsDirectories = {scratch("linked/Applications"), scratch("linked/opt/Apps")};
    LinuxBundleMoveSystem move(options);
    EXPECT_EQ(move.applicationsDirectories(),
              (QStringList{scratch("linked/Applications"), scratch("real/Applications"),
                           scratch("linked/opt/Apps"), scratch("real/opt/Apps")}));
    EXPECT_EQ(move.localApplicationsDirectory(), scratch("real/opt/Apps")); // not made yet
    EXPECT_TRUE(move.isWritable(scratch("linked/opt/Apps/New.app")));
}

} // namespace
