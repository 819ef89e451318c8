#include "FileHelpers.h"
#include "platform/AppInfo.h"
#include "platform/bundles/ApplicationBundles.h"
#include "platform/linux/LinuxPermissionStatus.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/plist/PlistCodec.h"
#include "platform/testing/RecordedAccessibility.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using namespace qrv;
using qrv::testing::TempHome;
using qrv::testing::writeFile;

namespace {

QString makeAppBundle(const QString& folder, const QString& name, const QVariantMap& info) {
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".app");
    EXPECT_TRUE(writeFile(path + QStringLiteral("/Contents/Info.plist"),
                          plist::encode(info, plist::Format::Xml).value()));
    return path;
}

TEST(ApplicationBundles, ReadsAnAppBundleWithItsLocalizedStrings) {
    TempHome home;
    const QString path = makeAppBundle(home.file("Applications"), "Preview",
                                       {{"CFBundleIdentifier", "com.example.Preview"},
                                        {"CFBundleName", "Preview"},
                                        {"CFBundleDevelopmentRegion", "en"}});
    EXPECT_TRUE(writeFile(path + "/Contents/Resources/en.lproj/InfoPlist.strings",
                          "CFBundleDisplayName = \"Vorschau\";"));

    const auto bundle = bundles::read(path);
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->bundleIdentifier, "com.example.Preview");
    EXPECT_EQ(bundle->path, path);
    EXPECT_EQ(bundle->infoDictionary.value("CFBundleName"), "Preview");
    EXPECT_EQ(bundle->localizedInfoDictionary.value("CFBundleDisplayName"), "Vorschau");

    // A bundle without information is still a bundle, just without identifier;
    // a plain folder or file is none.
    QDir().mkpath(home.file("Applications/Bare.app"));
    ASSERT_TRUE(bundles::read(home.file("Applications/Bare.app")).has_value());
    EXPECT_TRUE(bundles::read(home.file("Applications/Bare.app"))->bundleIdentifier.isEmpty());
    EXPECT_FALSE(bundles::read(home.file("Library")).has_value());
    EXPECT_FALSE(bundles::read(home.file("nothing.desktop")).has_value());
}

TEST(ApplicationBundles, ReadsDesktopEntries) {
    TempHome home;
    const QString path = home.file("entries/org.example.Editor.desktop");
    EXPECT_TRUE(writeFile(
        path,
        "# comment\n[Desktop Entry]\nType=Application\nName=Editor\\sPro\nName[xx]=Other\n"
        "Icon=accessories-text-editor\nExec=editor %U\n[Desktop Action new]\nName=Not this\n"));
    const auto bundle = bundles::read(path);
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->bundleIdentifier, "org.example.Editor");
    EXPECT_EQ(bundle->infoDictionary.value("CFBundleName"), "Editor Pro");
    EXPECT_EQ(bundle->infoDictionary.value("CFBundleDisplayName"), "Editor Pro");
    EXPECT_EQ(bundle->infoDictionary.value("CFBundleIconFile"), "accessories-text-editor");

    EXPECT_TRUE(writeFile(home.file("entries/link.desktop"),
                          "[Desktop Entry]\nType=Link\nName=Web\nURL=https://example.org\n"));
    EXPECT_TRUE(writeFile(home.file("entries/gone.desktop"),
                          "[Desktop Entry]\nType=Application\nName=Gone\nHidden=true\n"));
    EXPECT_TRUE(writeFile(home.file("entries/junk.desktop"), "\x01\x02 not an entry"));
    for (const char* name : {"link", "gone", "junk"})
        EXPECT_FALSE(bundles::read(home.file("entries/%1.desktop").arg(name))) << name;
}

void writeEntry(const QString& path, const QByteArray& body) {
    EXPECT_TRUE(writeFile(path, "[Desktop Entry]\nType=Application\n" + body));
}

TEST(ApplicationBundles, LocatesApplicationsByIdentifierInsideTheirFoldersOnly) {
    TempHome home;
    const QString apps = home.file("Applications");
    makeAppBundle(apps, "Top", {{"CFBundleIdentifier", "com.example.Top"}});
    const QString nested = makeAppBundle(apps + "/Utilities", "Nested",
                                         {{"CFBundleIdentifier", "com.example.Nested"}});
    const QString user = home.file("user-apps");
    const QString system = home.file("system-apps");
    writeEntry(user + "/org.example.Hidden.desktop", "Name=H\nHidden=true\n");
    writeEntry(system + "/org.example.Hidden.desktop", "Name=H\n");
    writeEntry(system + "/org.example.NoShow.desktop", "Name=N\nNoDisplay=true\n");
    writeEntry(system + "/kde/org.example.Deep.desktop", "Name=Deep\n");
    writeEntry(system + "/a/b/c.desktop", "Name=C\n");
    writeEntry(system + "/org.example.Plain.desktop", "Name=Plain\n");
    writeEntry(home.file("outside.desktop"), "Name=Out\n");
    const bundles::SearchPaths paths{{apps}, {user, system}};

    EXPECT_EQ(bundles::locate("COM.EXAMPLE.TOP", paths), apps + "/Top.app");
    EXPECT_EQ(bundles::locate("com.example.Nested", paths), nested);
    EXPECT_EQ(bundles::locate("org.example.plain", paths), system + "/org.example.Plain.desktop");
    EXPECT_EQ(bundles::locate("kde-org.example.Deep", paths),
              system + "/kde/org.example.Deep.desktop");
    EXPECT_EQ(bundles::locate("a-b-c", paths), system + "/a/b/c.desktop");
    // Hidden by the user's entry, not to be shown, missing, or outside the folders.
    for (const char* hidden : {"org.example.Hidden", "org.example.NoShow", "org.example.Missing",
                               "../escape", "..-outside"})
        EXPECT_EQ(bundles::locate(hidden, paths), "") << hidden;

    // Each dash could start a subfolder; only those that exist are looked into.
    QStringList parts(22, QStringLiteral("x"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(bundles::locate(parts.join(u'-'), paths), "");
    EXPECT_LT(clock.elapsed(), 2000);
}

TEST(LinuxWorkspace, WithoutTheAccessibilityBusThisProgramIsTheRunningApplication) {
    TempHome home;
    LinuxWorkspace workspace(home.path(), nullptr);
    const auto running = workspace.runningApplications();
    ASSERT_EQ(running.size(), 1);
    EXPECT_EQ(running.first().bundleIdentifier, appinfo::kBundleIdentifier);
    EXPECT_EQ(running.first().processId, QCoreApplication::applicationPid());
    EXPECT_EQ(running.first().activationPolicy, RunningApplication::ActivationPolicy::Regular);
    EXPECT_TRUE(running.first().icon.isNull()); // no GUI application here: no icons
    EXPECT_EQ(workspace.runningApplicationsWithBundleIdentifier(appinfo::kBundleIdentifier).size(),
              1);
    EXPECT_TRUE(workspace.runningApplicationsWithBundleIdentifier("com.example.None").isEmpty());

    makeAppBundle(home.file("Applications"), "Found",
                  {{"CFBundleIdentifier", "com.example.Found"}});
    EXPECT_EQ(workspace.urlForApplication("com.example.Found"),
              QUrl::fromLocalFile(home.file("Applications/Found.app")));
    EXPECT_EQ(workspace.displayNameAtPath(home.file("Applications/Found.app/")), "Found.app");
}

TEST(LinuxPermissionStatus, GrantsWhatThisSystemAllows) {
    TempHome home;
    qrv::testing::RecordedAccessibility accessibility;
    LinuxPermissionStatus status(home.path(), accessibility);
    EXPECT_TRUE(status.isGranted(PermissionStatus::kFullDiskAccess));
    EXPECT_TRUE(status.isGranted(PermissionStatus::kAssistive));
    accessibility.setCanReadMenus(false);
    EXPECT_EQ(status.authorizationStatus(PermissionStatus::kAssistive),
              PermissionStatus::kNotDetermined);
    EXPECT_EQ(status.authorizationStatus("SomethingElse"), PermissionStatus::kNotDetermined);

    LinuxPermissionStatus elsewhere(home.file("missing"), accessibility);
    EXPECT_EQ(elsewhere.authorizationStatus(PermissionStatus::kFullDiskAccess),
              PermissionStatus::kNotDetermined);
}

} // namespace
