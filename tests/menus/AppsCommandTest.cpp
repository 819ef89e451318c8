#include "platform/plist/PlistCodec.h"
#include "support/HelperPrograms.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

void writePlist(const QString& path, const QVariant& value) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(qrv::plist::encode(value).value());
}

TEST(AppsCommand, ListsTheCatalogueAsTheSourceListShowsIt) {
    qrv::testing::TempHome home;
    writePlist(
        home.file("Applications/Editor.app/Contents/Info.plist"),
        QVariantMap{{"CFBundleIdentifier", "com.example.editor"}, {"CFBundleName", "Editor"}});
    writePlist(
        home.file("Applications/Split.app/Contents/Info.plist"),
        QVariantMap{{"CFBundleIdentifier", "com.example.split"},
                    {"CFBundleName", QStringLiteral(u"Two\tColumns\nTwo\u2028Lines\u0085")}});
    writePlist(home.preferencesFile("com.apple.universalaccess"),
               QVariantMap{{"com.apple.custommenu.apps",
                            QVariantList{"com.example.editor", "com.example.gone",
                                         "com.example.split", "NSGlobalDomain"}}});

    QProcess cli;
    cli.start(qrv::testing::helperProgram(QStringLiteral("quorvane-cli")),
              {"--home", home.path(), "apps"});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardOutput()),
              "\tAll Applications\ncom.example.editor\tEditor\ncom.brackwyn.Quorvane\tQuorvane\n"
              "com.example.split\tTwo\\u0009Columns\\u000ATwo\\u2028Lines\\u0085\n");
    EXPECT_EQ(cli.readAllStandardError(), "");
}

} // namespace
