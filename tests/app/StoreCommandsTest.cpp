#include "CliRunner.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <sys/stat.h>

using qrv::testing::runCli;

namespace {

class StoreCommands : public ::testing::Test {
  protected:
    qrv::testing::CliResult cli(const QStringList& arguments,
                                const QMap<QString, QString>& env = {}) {
        return home.cli(arguments, env);
    }
    void set(const QStringList& arguments) {
        const auto result = cli(QStringList{"set"} + arguments);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    }
    qrv::testing::CliHome home;
};

TEST_F(StoreCommands, SetListAndRemoveOnARealHome) {
    const QString clearMenu = QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu");
    set({"com.example.App", "Save", "@s"});
    set({"--path", "com.example.App", clearMenu, "@~\\uF704"});
    set({"com.example.App", "Save", "@$s"}); // the first record gets the key
    set({"com.example.App", "Untitled", ""});

    const QString path = QStringLiteral(u"\u001BFile\u001BOpen Recent\u001BClear Menu");
    EXPECT_EQ(home.table("com.example.App"),
              QVariant(QVariantMap{
                  {"Save", "@$s"}, {path, QStringLiteral(u"@~\uF704")}, {"Untitled", ""}}));
    EXPECT_EQ(cli({"list", "com.example.App"}).out,
              QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu\t@~\\uF704\t\u2325\u2318F1\n"
                             u"Save\t@$s\t\u21E7\u2318S\nUntitled\t\t\n"));
    const QJsonArray array =
        QJsonDocument::fromJson(cli({"list", "--json", "com.example.App"}).out.toUtf8()).array();
    ASSERT_EQ(array.size(), 3);
    EXPECT_EQ(array[0]["title"].toString(), path);
    EXPECT_EQ(array[0]["keyEquivalent"].toString(), QStringLiteral(u"@~\uF704"));
    EXPECT_EQ(array[1]["shortcut"].toString(), QStringLiteral(u"\u21E7\u2318S"));

    EXPECT_EQ(cli({"remove", "com.example.App", "Save"}).exitCode, 0);
    EXPECT_EQ(cli({"registered"}).out, QString("com.example.App\n"));
    EXPECT_EQ(cli({"remove", "--path", "com.example.App", clearMenu}).exitCode, 0);
    EXPECT_EQ(cli({"remove", "com.example.App", "Untitled"}).exitCode, 0);
    EXPECT_EQ(cli({"registered"}).out, QString());
    EXPECT_EQ(cli({"list", "com.example.App"}).out, QString());
}

TEST_F(StoreCommands, GlobalDomainAndCounters) {
    set({"-g", "Copy", "@c"});
    set({"-g", "Paste", "@v"});
    EXPECT_EQ(home.table(".GlobalPreferences"),
              QVariant(QVariantMap{{"Copy", "@c"}, {"Paste", "@v"}}));
    EXPECT_EQ(cli({"registered"}).out, QString("NSGlobalDomain\n"));
    const QVariantMap counters = home.plist("com.brackwyn.Quorvane");
    EXPECT_EQ(counters.value("usageOperations"), QVariant(qint64(2)));
    EXPECT_EQ(counters.value("usageSessions"), QVariant(qint64(2))); // two runs

    const auto untitled = cli({"set", "-g", "", "@x"});
    EXPECT_EQ(untitled.exitCode, 1);
    EXPECT_TRUE(untitled.err.contains("without a title"));
    EXPECT_EQ(cli({"list", "--path", "-g"}).exitCode, 2);
    EXPECT_EQ(cli({"remove", "", "Copy"}).exitCode, 2);
    // After "--" even "--home" is a title, not the global option.
    set({"com.example.Other", "--", "--home", "@h"});
    EXPECT_EQ(cli({"list", "com.example.Other"}).out, QString("--home\t@h\t\u2318H\n"));
}

TEST_F(StoreCommands, SortOrderIsTheSameUnderEveryLocale) {
    for (const char* title :
         {"item 10", "Item 2", "Zoom", "apple", "Item 1", "a1", "a-b", "a b", "Track1", "Track 2"})
        set({"com.example.App", title, "@k"});
    QString expected;
    // Spaces and marks sort before digits, as in the file browser.
    for (const char* title :
         {"a b", "a-b", "a1", "apple", "Item 1", "Item 2", "item 10", "Track 2", "Track1", "Zoom"})
        expected += QString(title) + "\t@k\t\u2318K\n";
    for (const char* locale : {"C", "C.UTF-8", "en_US.UTF-8"})
        EXPECT_EQ(cli({"list", "com.example.App"}, {{"LANG", locale}, {"LC_ALL", locale}}).out,
                  expected)
            << locale;
}

// Two processes running the tool at once: every title, registration and count
// of both ends up in the files.
TEST_F(StoreCommands, TwoWritersLoseNothing) {
    const int rounds = 40;
    const QString script =
        QStringLiteral("for i in $(seq 1 %1); do"
                       "  \"$0\" --home \"$1\" set com.example.Shared \"$2$i\" @k || exit 1;"
                       "  \"$0\" --home \"$1\" set -g \"$2$i\" @g || exit 1;"
                       "  \"$0\" --home \"$1\" set \"com.example.$2$i\" Title @t || exit 1;"
                       "done")
            .arg(rounds);
    const QString cliPath = qrv::testing::helperProgram(QStringLiteral("quorvane-cli"));
    QProcess a, b;
    a.start("sh", {"-c", script, cliPath, home.path(), "a"});
    b.start("sh", {"-c", script, cliPath, home.path(), "b"});
    ASSERT_TRUE(a.waitForFinished(200000) && b.waitForFinished(200000));
    ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();

    EXPECT_EQ(home.table("com.example.Shared").toMap().size(), 2 * rounds);
    EXPECT_EQ(home.table(".GlobalPreferences").toMap().size(), 2 * rounds);
    EXPECT_EQ(
        home.plist("com.apple.universalaccess").value("com.apple.custommenu.apps").toList().size(),
        2 * rounds + 2);
    const QVariantMap counters = home.plist("com.brackwyn.Quorvane");
    EXPECT_EQ(counters.value("usageOperations"), QVariant(qint64(6 * rounds)));
    EXPECT_EQ(counters.value("usageSessions"), QVariant(qint64(6 * rounds)));
}

TEST_F(StoreCommands, AFileThatCannotBeReadFailsEveryCommandThatReadsIt) {
    const QString fifo = home.preferencesFile("com.example.Fifo");
    home.write("Library/Preferences/com.example.Garbage.plist",
               "<plist><dict><key>NSUserKeyEquivalents</key>");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    for (const QStringList& command : {QStringList{"list", "com.example.Fifo"},
                                       QStringList{"list", "--json", "com.example.Fifo"},
                                       QStringList{"set", "com.example.Fifo", "Copy", "@c"},
                                       QStringList{"remove", "com.example.Fifo", "Copy"},
                                       QStringList{"list", "com.example.Garbage"}}) {
        const auto result = cli(command);
        EXPECT_EQ(result.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("cannot be read") && result.err.contains("com.example."))
            << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    }
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(home.preferencesFile("com.apple.universalaccess")).constData(),
                 0644),
        0);
    const auto registered = cli({"registered"});
    EXPECT_EQ(registered.exitCode, 1);
    EXPECT_TRUE(registered.err.contains("cannot be read")) << registered.err.toStdString();
}

TEST_F(StoreCommands, OnlyMinusGNamesTheGlobalTableAndAnUnusableSupportFolderEndsTheTool) {
    for (const char* disguise :
         {"NSGlobalDomain", ".GlobalPreferences", "kcfpreferencesanyapplication"}) {
        const auto result = cli({"set", disguise, "Copy", "@c"});
        EXPECT_EQ(result.exitCode, 1) << disguise;
        EXPECT_TRUE(result.err.contains("all applications")) << result.err.toStdString();
        EXPECT_EQ(cli({"list", disguise}).exitCode, 1) << disguise;
    }
    EXPECT_FALSE(QFile::exists(home.preferencesFile(".GlobalPreferences")));
    EXPECT_EQ(cli({"registered"}).out, QString());

    qrv::testing::CliHome blocked;
    blocked.write("Library/Application Support", {}); // a file where the folder belongs
    const auto result = blocked.cli({"list", "-g"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.brackwyn.Quorvane")) << result.err.toStdString();
}

TEST_F(StoreCommands, RemovingATitleWithoutAShortcutFailsAndWritesNothing) {
    set({"com.example.App", "Save", "@s"});
    const QVariantMap before = home.plist("com.example.App");
    const QVariant operations = home.plist("com.brackwyn.Quorvane").value("usageOperations");

    const auto missing = cli({"remove", "com.example.App", "Open\n"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QString("quorvane-cli remove: there is no shortcut titled "
                                   "\u201COpen\\u000A\u201D\n"));
    EXPECT_EQ(cli({"remove", "-g", "Save"}).exitCode, 1);
    EXPECT_EQ(home.plist("com.example.App"), before);
    EXPECT_EQ(home.plist("com.brackwyn.Quorvane").value("usageOperations"), operations);
}

TEST_F(StoreCommands, KeyMustNameAKeyAndNothingIsStoredOtherwise) {
    const QString longKey(130000, QChar('x')); // about the most one argument may hold
    for (const QString& key :
         {QString("not a key"), QString("@$"), QString("@X"), longKey, QString("@\\u0000")}) {
        const auto refused = cli({"set", "com.example.App", "Save", key});
        EXPECT_EQ(refused.exitCode, 2) << key.left(20).toStdString();
        EXPECT_TRUE(refused.err.contains("KEY")) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("usage: quorvane-cli [--home DIR] set [--path] APP TITLE "
                                         "KEY\n"));
        EXPECT_LT(refused.err.size(), 1000); // a long KEY is cut short in the message
    }
    EXPECT_TRUE(cli({"set", "com.example.App", "Save", "@$"}).err.contains("no key"));
    EXPECT_TRUE(cli({"set", "com.example.App", "\\u0000", "@s"}).err.contains("U+0000"));
    EXPECT_FALSE(QFile::exists(home.preferencesFile("com.example.App")));

    // Accepted keys are stored as given; "" still means no key.
    set({"com.example.App", "Save", "$@s"});
    set({"com.example.App", "Open", ""});
    EXPECT_EQ(home.table("com.example.App"), QVariant(QVariantMap{{"Save", "$@s"}, {"Open", ""}}));
}

// list prints escapes, and set and remove read them back: every title goes round.
TEST_F(StoreCommands, EveryRecordIsOneLineAndReadsBackAsTheSameTitle) {
    const QString awkward = QStringLiteral(u"a\u007Fb\u0085c\u2028d\u2029e\u009Ff\ng\th");
    const QString backslashes = QStringLiteral(u"C:\\Files \\u0041");
    const QString shownAwkward = "a\\u007Fb\\u0085c\\u2028d\\u2029e\\u009Ff\\u000Ag\\u0009h";
    const QString shownBackslashes = "C:\\Files \\u005Cu0041";
    set({"com.example.App", "--", awkward, "@a"});
    set({"com.example.App", shownBackslashes, "@b"});
    EXPECT_EQ(home.table("com.example.App"),
              QVariant(QVariantMap{{awkward, "@a"}, {backslashes, "@b"}}));
    EXPECT_EQ(cli({"list", "com.example.App"}).out,
              shownAwkward + "\t@a\t\u2318A\n" + shownBackslashes + "\t@b\t\u2318B\n");

    EXPECT_EQ(cli({"remove", "com.example.App", shownAwkward}).exitCode, 0);
    EXPECT_EQ(cli({"remove", "com.example.App", shownBackslashes}).exitCode, 0);
    EXPECT_EQ(home.table("com.example.App"), QVariant(QVariantMap()));

    home.write("Library/Preferences/com.apple.universalaccess.plist",
               qrv::plist::encode(
                   QVariantMap{{"com.apple.custommenu.apps",
                                QVariantList{QStringLiteral(u"com.example.one\u2028two"), "x\ty"}}})
                   .value());
    EXPECT_EQ(cli({"registered"}).out, QString("com.example.one\\u2028two\nx\\u0009y\n"));
}

// export and import: files written here carry the table to another home.
TEST_F(StoreCommands, ExportThenImportReproducesTheTableExactly) {
    set({"com.example.App", "Save", "@s"});
    set({"--path", "com.example.App", QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu"),
         "@~\\uF704"});
    set({"com.example.App", "Untitled", ""});
    set({"com.example.App", "Tab\\u0009and \\u001B inside", "^$t"});
    set({"-g", "Hide Others", "@~h"});
    const QString file = home.file("App.menuShortcuts");
    ASSERT_EQ(cli({"export", "com.example.App", file}).exitCode, 0);
    const QString global = home.file("Global.menuShortcuts");
    ASSERT_EQ(cli({"export", "-g", global}).exitCode, 0);

    qrv::testing::CliHome target;
    const auto imported = target.cli({"import", "com.example.App", file});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.contains(
        QStringLiteral(u"+File\u2192Open Recent\u2192Clear Menu\t@~\\uF704\n")));
    EXPECT_TRUE(imported.out.contains("+Untitled\t\n"));
    EXPECT_EQ(target.cli({"import", "-g", global}).exitCode, 0);
    ASSERT_EQ(home.table("com.example.App").toMap().size(), 4);
    EXPECT_EQ(target.table("com.example.App"), home.table("com.example.App"));
    EXPECT_EQ(target.table(".GlobalPreferences"), home.table(".GlobalPreferences"));
    EXPECT_EQ(target.cli({"registered"}).out, QString("com.example.App\nNSGlobalDomain\n"));

    // A second import changes nothing.
    const auto again = target.cli({"import", "com.example.App", file});
    EXPECT_EQ(again.out.count(u'\n'), 4);
    EXPECT_EQ(again.out.count("\n="), 3);
}

TEST_F(StoreCommands, ExportToStandardOutputAndIntoAnotherApplication) {
    set({"com.example.App", "Save", "@~\\uF704"});
    const auto exported = cli({"export", "com.example.App"});
    ASSERT_EQ(exported.exitCode, 0);
    const QJsonObject file = QJsonDocument::fromJson(exported.out.toUtf8()).object();
    EXPECT_EQ(file["kind"].toString(), QString("export"));
    EXPECT_EQ(file["creator"].toString(), QString("com.brackwyn.Quorvane"));
    const QJsonObject shortcut = file["applications"][0]["shortcuts"][0].toObject();
    EXPECT_EQ(shortcut["shortcut"].toString(), QStringLiteral(u"\u2325\u2318F1"));

    const QString path = home.write("App.menuShortcuts", exported.out.toUtf8());
    set({"com.example.Other", "Save", "@s"});
    const auto dryRun = cli({"import", "--dry-run", "com.example.Other", path});
    EXPECT_EQ(dryRun.exitCode, 0);
    EXPECT_EQ(dryRun.out, QString("~Save\t@~\\uF704\n"));
    EXPECT_EQ(home.table("com.example.Other"), QVariant(QVariantMap{{"Save", "@s"}}));
    EXPECT_EQ(cli({"import", "com.example.Other", path}).exitCode, 0);
    EXPECT_EQ(home.table("com.example.Other"),
              QVariant(QVariantMap{{"Save", QStringLiteral(u"@~\uF704")}}));
}

TEST_F(StoreCommands, ImportRefusesWhatIsNoExportAndExportNeedsShortcuts) {
    const auto nothing = cli({"export", "com.example.Empty"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains("has no shortcuts to export"));
    const QString request = home.write("Request.menuShortcuts",
                                       R"({"kind": "request", "version": 1, "applications": []})");
    const auto refused = cli({"import", "com.example.App", request});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("not an export")) << refused.err.toStdString();
    EXPECT_EQ(cli({"import", "com.example.App", home.file("missing")}).exitCode, 1);
    EXPECT_EQ(cli({"import", "com.example.App", request, "--force"}).exitCode, 2);
}

} // namespace
