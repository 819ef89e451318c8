// The application folder as the build made it (build/Quorvane.app), read back
// with the same readers the program uses for other applications' bundles.
#include "platform/AppInfo.h"
#include "platform/bundles/ApplicationBundles.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qrv;
using namespace Qt::StringLiterals;

namespace {

const QString kAppFolder = QStringLiteral(QRV_BINARY_DIR "/Quorvane.app");

QVariantMap infoDictionary(const QString& bundle) {
    QFile file(bundle + u"/Contents/Info.plist"_s);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = plist::decode(file.readAll());
    return decoded ? decoded->toMap() : QVariantMap();
}

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

ProcessResult run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, process.errorString()};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(AppFolder, InfoPlistNamesTheProgramAsItNamesItself) {
    const QVariantMap info = infoDictionary(kAppFolder);
    ASSERT_FALSE(info.isEmpty()) << "no readable Info.plist in " << kAppFolder.toStdString();
    EXPECT_EQ(info.value(u"CFBundleName"_s).toString(),
              QString::fromLatin1(appinfo::kApplicationName));
    EXPECT_EQ(info.value(u"CFBundleIdentifier"_s).toString(),
              QString::fromLatin1(appinfo::kBundleIdentifier));
    EXPECT_EQ(info.value(u"CFBundleShortVersionString"_s).toString(),
              QString::fromLatin1(appinfo::kVersion));
    EXPECT_EQ(info.value(u"CFBundleVersion"_s).toString(), QString::fromLatin1(appinfo::kBuild));

    // What the keys point at is there.
    const QFileInfo executable(kAppFolder + u"/Contents/MacOS/"_s +
                               info.value(u"CFBundleExecutable"_s).toString());
    EXPECT_TRUE(executable.isFile() && executable.isExecutable())
        << executable.filePath().toStdString();
    EXPECT_TRUE(QFileInfo(kAppFolder + u"/Contents/MacOS/quorvane-cli"_s).isExecutable());
    EXPECT_TRUE(QFileInfo(kAppFolder + u"/Contents/Resources/"_s +
                          info.value(u"CFBundleIconFile"_s).toString())
                    .isFile());

    // The program finds itself the way it finds other applications.
    const auto bundle = bundles::read(kAppFolder);
    ASSERT_TRUE(bundle.has_value());
    EXPECT_EQ(bundle->bundleIdentifier, QString::fromLatin1(appinfo::kBundleIdentifier));
    EXPECT_EQ(bundles::iconForFile(kAppFolder).availableSizes(), (QList<QSize>{{512, 512}}));
}

TEST(AppFolder, NeedsNothingFromTheBuildFolder) {
    for (const QString& name : {u"quorvane"_s, u"quorvane-cli"_s}) {
        const ProcessResult dynamic =
            run(u"readelf"_s, {u"--dynamic"_s, kAppFolder + u"/Contents/MacOS/"_s + name});
        ASSERT_EQ(dynamic.exitCode, 0) << dynamic.err.toStdString();
        EXPECT_FALSE(dynamic.out.contains(QStringLiteral(QRV_BINARY_DIR)))
            << dynamic.out.toStdString();
        EXPECT_FALSE(dynamic.out.contains(QStringLiteral(QRV_SOURCE_DIR)))
            << dynamic.out.toStdString();
    }
}

TEST(AppFolder, RunsFromACopyAnywhere) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString parent = scratch.filePath(u"Down loads/it's \"here\" $(x)"_s);
    ASSERT_TRUE(QDir().mkpath(parent));
    const ProcessResult copy = run(u"cp"_s, {u"-a"_s, kAppFolder, parent});
    ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    const QString macos = parent + u"/Quorvane.app/Contents/MacOS/"_s;
    const QString cli = macos + u"quorvane-cli"_s;
    const QStringList home{u"--home"_s, scratch.filePath(u"home"_s)};

    const ProcessResult version = run(cli, {u"version"_s});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out,
              QStringLiteral("Quorvane %1\n").arg(QString::fromLatin1(appinfo::kVersion)));
    const ProcessResult set =
        run(cli, home + QStringList{u"set"_s, u"com.example.App"_s, u"Quit"_s, u"@q"_s});
    EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
    const ProcessResult listed = run(cli, home + QStringList{u"list"_s, u"com.example.App"_s});
    EXPECT_TRUE(listed.out.contains(u"Quit"_s))
        << listed.out.toStdString() << listed.err.toStdString();

    // The application comes up and stays up until it is told to quit.
    QProcess app;
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(macos + u"quorvane"_s, home);
    ASSERT_TRUE(app.waitForStarted(10000)) << app.errorString().toStdString();
    EXPECT_FALSE(app.waitForFinished(2000))
        << "exited with " << app.exitCode() << ": " << app.readAll().toStdString();
    app.kill();
    app.waitForFinished(10000);
}

} // namespace
