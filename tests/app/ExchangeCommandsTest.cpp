#include "CliRunner.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using qrv::testing::runCli;

namespace {

// Tables are compared as the property-list reader sees the files.
QVariant table(const qrv::testing::TempHome& home, const QString& domain) {
    QFile file(home.preferencesFile(domain));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = qrv::plist::decode(file.readAll());
    return decoded ? decoded->toMap().value("NSUserKeyEquivalents") : QVariant();
}

class ExchangeCommands : public ::testing::Test {
  protected:
    void set(const QStringList& arguments) {
        ASSERT_EQ(runCli(QStringList{"set"} + arguments, source.path()).exitCode, 0);
    }
    qrv::testing::TempHome source;
    qrv::testing::TempHome target;
};

TEST_F(ExchangeCommands, ExportThenImportReproducesTheTableExactly) {
    set({"com.example.App", "Save", "@s"});
    set({"--path", "com.example.App", QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu"),
         "@~\\uF704"});
    set({"com.example.App", "Untitled", ""});
    set({"com.example.App", "Tab\\u0009and \\u001B inside", "^$t"});
    set({"-g", "Hide Others", "@~h"});
    const QString file = source.file("App.menuShortcuts");
    ASSERT_EQ(runCli({"export", "com.example.App", file}, source.path()).exitCode, 0);
    const QString global = source.file("Global.menuShortcuts");
    ASSERT_EQ(runCli({"export", "-g", global}, source.path()).exitCode, 0);

    const auto imported = runCli({"import", "com.example.App", file}, target.path());
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(
        QStringLiteral(u"+File\u2192Open Recent\u2192Clear Menu\t@~\\uF704\n")));
    EXPECT_TRUE(imported.out.contains("+Untitled\t\n"));
    EXPECT_EQ(runCli({"import", "-g", global}, target.path()).exitCode, 0);
    const QVariant expected = table(source, "com.example.App");
    ASSERT_EQ(expected.toMap().size(), 4);
    EXPECT_EQ(table(target, "com.example.App"), expected);
    EXPECT_EQ(table(target, ".GlobalPreferences"), table(source, ".GlobalPreferences"));
    EXPECT_EQ(runCli({"registered"}, target.path()).out,
              QString("com.example.App\nNSGlobalDomain\n"));

    // A second import changes nothing.
    const auto again = runCli({"import", "com.example.App", file}, target.path());
    EXPECT_EQ(again.out.count(u'\n'), 4);
    EXPECT_EQ(again.out.count("\n="), 3);
}

TEST_F(ExchangeCommands, ExportToStandardOutputAndIntoAnotherApplication) {
    set({"com.example.App", "Save", "@~\\uF704"});
    const auto exported = runCli({"export", "com.example.App"}, source.path());
    ASSERT_EQ(exported.exitCode, 0);
    const QJsonObject file = QJsonDocument::fromJson(exported.out.toUtf8()).object();
    EXPECT_EQ(file["kind"].toString(), QString("export"));
    EXPECT_EQ(file["creator"].toString(), QString("com.brackwyn.Quorvane"));
    const QJsonObject shortcut = file["applications"][0]["shortcuts"][0].toObject();
    EXPECT_EQ(shortcut["shortcut"].toString(), QStringLiteral(u"\u2325\u2318F1"));

    const QString path = target.file("App.menuShortcuts");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(exported.out.toUtf8());
    out.close();
    set({"com.example.Other", "Save", "@s"});
    const auto dryRun = runCli({"import", "--dry-run", "com.example.Other", path}, source.path());
    EXPECT_EQ(dryRun.exitCode, 0);
    EXPECT_EQ(dryRun.out, QString("~Save\t@~\\uF704\n"));
    EXPECT_EQ(table(source, "com.example.Other"), QVariant(QVariantMap{{"Save", "@s"}}));
    EXPECT_EQ(runCli({"import", "com.example.Other", path}, source.path()).exitCode, 0);
    EXPECT_EQ(table(source, "com.example.Other"),
              QVariant(QVariantMap{{"Save", QStringLiteral(u"@~\uF704")}}));
}

TEST_F(ExchangeCommands, RefusesWhatIsNoExportAndNothingToExport) {
    const auto nothing = runCli({"export", "com.example.Empty"}, source.path());
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains("has no shortcuts to export"));
    const QString request = source.file("Request.menuShortcuts");
    QFile file(request);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"kind": "request", "version": 1, "applications": []})");
    file.close();
    const auto refused = runCli({"import", "com.example.App", request}, source.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("not an export")) << refused.err.toStdString();
    EXPECT_EQ(runCli({"import", "com.example.App", source.file("missing")}, source.path()).exitCode,
              1);
    EXPECT_EQ(runCli({"import", "com.example.App", request, "--force"}, source.path()).exitCode, 2);
}

} // namespace
