// What full disk access and the accessibility settings mean on this system.
#include "FileHelpers.h"
#include "platform/ShellQuoting.h"
#include "platform/linux/AccessibilitySettings.h"
#include "platform/linux/PreferencesAccess.h"
#include "support/HelperPrograms.h"
#include "support/TempHome.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qrv;

namespace {

QString accessChecker() {
    return qrv::testing::helperProgram(QStringLiteral("qrv-test-access-check"));
}
constexpr uid_t kNobody = 65534;

bool setMode(const QString& path, mode_t mode) {
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

struct Seen {
    QString folder, reason, command;
    bool none = false;
};

// The problem as a process that is not root sees it: root may write
// anywhere, so as root the check runs as nobody, to whom the home is handed.
class PreferencesAccessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(preferences()));
        ASSERT_TRUE(QDir().mkpath(container()));
        if (asRoot()) {
            // Nobody must reach the home (the test's temporary folders
            // above it may be private) and own it, as a user owns theirs.
            for (QString dir = QFileInfo(home.path()).path(); dir != QStringLiteral("/");
                 dir = QFileInfo(dir).path()) {
                struct stat st {};
                ASSERT_EQ(::stat(QFile::encodeName(dir).constData(), &st), 0);
                if (!(st.st_mode & S_IXOTH)) {
                    ASSERT_TRUE(setMode(dir, (st.st_mode & 07777) | S_IXOTH));
                }
            }
            ASSERT_TRUE(chownTree(home.path(), kNobody));
        }
    }
    static bool asRoot() { return ::geteuid() == 0; }
    static bool chownTree(const QString& root, uid_t owner) {
        bool ok = ::chown(QFile::encodeName(root).constData(), owner, owner) == 0;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            ok = ::chown(QFile::encodeName(it.next()).constData(), owner, owner) == 0 && ok;
        return ok;
    }
    QString preferences() const { return home.file("Library/Preferences"); }
    QString container() const {
        return home.file("Library/Containers/com.example.Boxed/Data/Library/Preferences");
    }
    Seen check() const {
        QProcess checker;
        if (asRoot())
            checker.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                      accessChecker(), home.path()});
        else
            checker.start(accessChecker(), {home.path()});
        if (!checker.waitForFinished(30000) || checker.exitCode() != 0) {
            ADD_FAILURE() << "checker failed: " << checker.readAllStandardError().toStdString();
            return {};
        }
        const QString line = QString::fromLocal8Bit(checker.readAllStandardOutput()).trimmed();
        if (line == "none")
            return {{}, {}, {}, true};
        const QStringList parts = line.split(u'\t');
        return {parts.value(0), parts.value(1), parts.value(2)};
    }

    qrv::testing::TempHome home;
};

TEST_F(PreferencesAccessTest, AWritableHomeHasNoProblemEvenBeforeItsFoldersExist) {
    EXPECT_TRUE(check().none);
    ASSERT_TRUE(QDir(home.file("Library/Containers")).removeRecursively());
    ASSERT_TRUE(QDir(preferences()).removeRecursively());
    EXPECT_TRUE(check().none); // made by the first write
}

// A folder of the home (relative path) that this user may not write or enter.
class PreferencesFolderProblem : public PreferencesAccessTest,
                                 public ::testing::WithParamInterface<std::pair<const char*, int>> {
};

TEST_P(PreferencesFolderProblem, IsNamedWithTheCommandThatAllowsIt) {
    const QString folder = home.file(GetParam().first);
    ASSERT_TRUE(setMode(folder, mode_t(GetParam().second)));
    const Seen seen = check();
    EXPECT_EQ(seen.folder, folder);
    EXPECT_TRUE(seen.reason.contains(folder)) << seen.reason.toStdString();
    EXPECT_EQ(seen.command, "chmod u+rwx " + shellQuoted(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PreferencesFolderProblem,
    ::testing::Values(std::pair("Library/Preferences", 0555), std::pair("Library", 0600),
                      std::pair("Library/Containers/com.example.Boxed/Data/Library/Preferences",
                                0555)));

TEST_F(PreferencesAccessTest, AnotherUsersFolderNeedsItsOwnerChanged) {
    if (!asRoot())
        GTEST_SKIP() << "only root can give a folder to another user";
    ASSERT_EQ(::chown(QFile::encodeName(preferences()).constData(), 0, 0), 0);
    ASSERT_TRUE(setMode(preferences(), 0755));
    const Seen seen = check();
    EXPECT_EQ(seen.folder, preferences());
    EXPECT_TRUE(seen.reason.contains("“root”")) << seen.reason.toStdString();
    EXPECT_EQ(
        seen.command,
        QStringLiteral("sudo chown 'nobody' %1 && chmod u+rwx %1").arg(shellQuoted(preferences())));
}

class AccessibilitySettingsTest : public ::testing::Test {
  protected:
    QString program(const QString& folder, const QString& name) {
        const QString path = root.filePath(folder + "/" + name);
        EXPECT_TRUE(qrv::testing::writeFile(
            path, "#!/bin/sh\n", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        return path;
    }
    void entry(const QString& name, const QString& exec) {
        ASSERT_TRUE(qrv::testing::writeFile(
            root.filePath("applications/" + name),
            ("[Desktop Entry]\nType=Application\nName=Settings\nExec=" + exec + "\n").toUtf8()));
    }
    access::SettingsSearch search(const QString& desktop = {}) const {
        return {{root.filePath("bin")}, {root.filePath("applications")}, desktop};
    }
    QTemporaryDir root;
};

TEST_F(AccessibilitySettingsTest, TheRunningDesktopsSettingsComeFirst) {
    const QString gnome = program("bin", "gnome-control-center");
    const QString kde = program("bin", "systemsettings");
    const auto onGnome = access::accessibilitySettings(search("ubuntu:GNOME"));
    ASSERT_TRUE(onGnome);
    EXPECT_EQ(onGnome->program, gnome);
    EXPECT_EQ(onGnome->arguments, QStringList{"universal-access"});
    const auto onKde = access::accessibilitySettings(search("KDE"));
    ASSERT_TRUE(onKde);
    EXPECT_EQ(onKde->program, kde);
    EXPECT_EQ(onKde->name, "System Settings");
    EXPECT_EQ(onKde->arguments, QStringList{"kcm_access"});
}

TEST_F(AccessibilitySettingsTest, ADesktopEntryFindsAProgramOffThePath) {
    EXPECT_FALSE(access::accessibilitySettings(search()));
    const QString elsewhere = program("opt", "gnome-control-center");
    entry("org.gnome.Settings.desktop", elsewhere + " %U");
    const auto found = access::accessibilitySettings(search());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->program, elsewhere);
    // An entry whose program is gone finds nothing.
    ASSERT_TRUE(QFile::remove(elsewhere));
    EXPECT_FALSE(access::accessibilitySettings(search()));
}

} // namespace
