#include "CliRunner.h"
#include "platform/plist/PlistCodec.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/stat.h>

using qrv::testing::runCli;

namespace {

void writePlist(const QString& path, const QVariant& value) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(qrv::plist::encode(value).value());
}

QVariantMap readPlist(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = qrv::plist::decode(file.readAll());
    return decoded ? decoded->toMap() : QVariantMap();
}

class StoreCommands : public ::testing::Test {
  protected:
    qrv::testing::CliResult cli(const QStringList& arguments,
                                const QMap<QString, QString>& env = {}) {
        return runCli(arguments, home.path(), env);
    }
    qrv::testing::TempHome home;
};

TEST_F(StoreCommands, SetListAndRemoveOnARealHome) {
    EXPECT_EQ(cli({"set", "com.example.App", "Save", "@s"}).exitCode, 0);
    EXPECT_EQ(cli({"set", "--path", "com.example.App",
                   QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu"), "@~\\uF704"})
                  .exitCode,
              0);
    EXPECT_EQ(cli({"set", "com.example.App", "Save", "@$s"}).exitCode,
              0); // the first record gets the key
    EXPECT_EQ(cli({"set", "com.example.App", "Untitled", ""}).exitCode, 0);

    const QString path = QStringLiteral(u"\u001BFile\u001BOpen Recent\u001BClear Menu");
    EXPECT_EQ(readPlist(home.preferencesFile("com.example.App")).value("NSUserKeyEquivalents"),
              QVariant(QVariantMap{
                  {"Save", "@$s"}, {path, QStringLiteral(u"@~\uF704")}, {"Untitled", ""}}));
    auto listed = cli({"list", "com.example.App"});
    EXPECT_EQ(listed.out,
              QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu\t@~\\uF704\t\u2325\u2318F1\n"
                             u"Save\t@$s\t\u21E7\u2318S\nUntitled\t\t\n"));
    listed = cli({"list", "--json", "com.example.App"});
    const QJsonArray array = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    ASSERT_EQ(array.size(), 3);
    EXPECT_EQ(array[0].toObject().value("title").toString(), path);
    EXPECT_EQ(array[0].toObject().value("keyEquivalent").toString(), QStringLiteral(u"@~\uF704"));
    EXPECT_EQ(array[1].toObject().value("shortcut").toString(), QStringLiteral(u"\u21E7\u2318S"));

    EXPECT_EQ(cli({"remove", "com.example.App", "Save"}).exitCode, 0);
    EXPECT_EQ(cli({"registered"}).out, QString("com.example.App\n"));
    EXPECT_EQ(cli({"remove", "--path", "com.example.App",
                   QStringLiteral(u"File\u2192Open Recent\u2192Clear Menu")})
                  .exitCode,
              0);
    EXPECT_EQ(cli({"remove", "com.example.App", "Untitled"}).exitCode, 0);
    EXPECT_EQ(cli({"registered"}).out, QString());
    EXPECT_EQ(cli({"list", "com.example.App"}).out, QString());
}

TEST_F(StoreCommands, ListKeepsEveryRecordOnOneLineOfThreeColumns) {
    EXPECT_EQ(cli({"set", "com.example.App", "Two\nLines\tand a tab", "@t"}).exitCode, 0);
    EXPECT_EQ(cli({"list", "com.example.App"}).out,
              QString("Two\\u000ALines\\u0009and a tab\t@t\t\u2318T\n"));
    // After "--" even "--home" is a title, not the global option.
    EXPECT_EQ(cli({"set", "com.example.Other", "--", "--home", "@h"}).exitCode, 0);
    EXPECT_EQ(cli({"list", "com.example.Other"}).out, QString("--home\t@h\t\u2318H\n"));
}

TEST_F(StoreCommands, GlobalDomainCountersAndExitStatuses) {
    EXPECT_EQ(cli({"set", "-g", "Copy", "@c"}).exitCode, 0);
    EXPECT_EQ(cli({"set", "-g", "Paste", "@v"}).exitCode, 0);
    EXPECT_EQ(readPlist(home.preferencesFile(".GlobalPreferences")).value("NSUserKeyEquivalents"),
              QVariant(QVariantMap{{"Copy", "@c"}, {"Paste", "@v"}}));
    EXPECT_EQ(cli({"registered"}).out, QString("NSGlobalDomain\n"));
    const QVariantMap counters = readPlist(home.preferencesFile("com.brackwyn.Quorvane"));
    EXPECT_EQ(counters.value("usageOperations"), QVariant(qint64(2)));
    EXPECT_EQ(counters.value("usageSessions"), QVariant(qint64(2))); // two runs

    const auto untitled = cli({"set", "-g", "", "@x"});
    EXPECT_EQ(untitled.exitCode, 1);
    EXPECT_TRUE(untitled.err.contains("without a title"));
    EXPECT_EQ(cli({"list"}).exitCode, 2);
    EXPECT_EQ(cli({"set", "-g", "Copy"}).exitCode, 2);
    EXPECT_EQ(cli({"list", "--path", "-g"}).exitCode, 2);
    EXPECT_EQ(cli({"remove", "", "Copy"}).exitCode, 2);
}

TEST_F(StoreCommands, SortOrderIsTheSameUnderEveryLocale) {
    for (const char* title :
         {"item 10", "Item 2", "Zoom", "apple", "Item 1", "a1", "a-b", "a b", "Track1", "Track 2"})
        ASSERT_EQ(cli({"set", "com.example.App", title, "@k"}).exitCode, 0);
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
    const QString cliPath = QStringLiteral(QRV_BINARY_DIR "/bin/quorvane-cli");
    QProcess a, b;
    a.start("sh", {"-c", script, cliPath, home.path(), "a"});
    b.start("sh", {"-c", script, cliPath, home.path(), "b"});
    ASSERT_TRUE(a.waitForFinished(200000) && b.waitForFinished(200000));
    ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
    ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();

    const auto titles = [&](const QString& domain) {
        return readPlist(home.preferencesFile(domain)).value("NSUserKeyEquivalents").toMap().size();
    };
    EXPECT_EQ(titles("com.example.Shared"), 2 * rounds);
    EXPECT_EQ(titles(".GlobalPreferences"), 2 * rounds);
    const QVariantList registered = readPlist(home.preferencesFile("com.apple.universalaccess"))
                                        .value("com.apple.custommenu.apps")
                                        .toList();
    EXPECT_EQ(registered.size(), 2 * rounds + 2);
    const QVariantMap counters = readPlist(home.preferencesFile("com.brackwyn.Quorvane"));
    EXPECT_EQ(counters.value("usageOperations"), QVariant(qint64(6 * rounds)));
    EXPECT_EQ(counters.value("usageSessions"), QVariant(qint64(6 * rounds)));
}

TEST_F(StoreCommands, AFileThatCannotBeReadFailsEveryCommandThatReadsIt) {
    const QString fifo = home.preferencesFile("com.example.Fifo");
    QDir().mkpath(QFileInfo(fifo).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QFile garbage(home.preferencesFile("com.example.Garbage"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("<plist><dict><key>NSUserKeyEquivalents</key>");
    garbage.close();

    for (const QStringList& command : {QStringList{"list", "com.example.Fifo"},
                                       QStringList{"list", "--json", "com.example.Fifo"},
                                       QStringList{"set", "com.example.Fifo", "Copy", "@c"},
                                       QStringList{"remove", "com.example.Fifo", "Copy"},
                                       QStringList{"list", "com.example.Garbage"}}) {
        const auto result = cli(command);
        EXPECT_EQ(result.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("cannot be read")) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("com.example.")) << result.err.toStdString();
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

TEST_F(StoreCommands, OnlyMinusGNamesTheGlobalTable) {
    for (const char* disguise :
         {"NSGlobalDomain", ".GlobalPreferences", "kcfpreferencesanyapplication"}) {
        const auto result = cli({"set", disguise, "Copy", "@c"});
        EXPECT_EQ(result.exitCode, 1) << disguise;
        EXPECT_TRUE(result.err.contains("all applications")) << result.err.toStdString();
        EXPECT_EQ(cli({"list", disguise}).exitCode, 1) << disguise;
    }
    EXPECT_FALSE(QFile::exists(home.preferencesFile(".GlobalPreferences")));
    EXPECT_EQ(cli({"registered"}).out, QString());
}

TEST_F(StoreCommands, UnusableSupportFolderEndsTheTool) {
    QFile blocker(home.file("Library/Application Support"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder belongs
    blocker.close();
    const auto result = cli({"list", "-g"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("com.brackwyn.Quorvane")) << result.err.toStdString();
}

TEST_F(StoreCommands, RemovingATitleWithoutAShortcutFailsAndWritesNothing) {
    ASSERT_EQ(cli({"set", "com.example.App", "Save", "@s"}).exitCode, 0);
    const QVariantMap before = readPlist(home.preferencesFile("com.example.App"));
    const QVariantMap counters = readPlist(home.preferencesFile("com.brackwyn.Quorvane"));

    const auto missing = cli({"remove", "com.example.App", "Open\n"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QString("quorvane-cli remove: there is no shortcut titled "
                                   "\u201COpen\\u000A\u201D\n"));
    EXPECT_EQ(cli({"remove", "-g", "Save"}).exitCode, 1);
    EXPECT_EQ(readPlist(home.preferencesFile("com.example.App")), before);
    EXPECT_EQ(readPlist(home.preferencesFile("com.brackwyn.Quorvane")).value("usageOperations"),
              counters.value("usageOperations"));
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
    EXPECT_EQ(cli({"set", "com.example.App", "Save", "$@s"}).exitCode, 0);
    EXPECT_EQ(cli({"set", "com.example.App", "Open", ""}).exitCode, 0);
    EXPECT_EQ(readPlist(home.preferencesFile("com.example.App")).value("NSUserKeyEquivalents"),
              QVariant(QVariantMap{{"Save", "$@s"}, {"Open", ""}}));
}

// list prints escapes, and set and remove read them back: every title goes round.
TEST_F(StoreCommands, EveryRecordIsOneLineAndReadsBackAsTheSameTitle) {
    const QString awkward = QStringLiteral(u"a\u007Fb\u0085c\u2028d\u2029e\u009Ff");
    const QString backslashes = QStringLiteral(u"C:\\Files \\u0041");
    const QString shownAwkward = "a\\u007Fb\\u0085c\\u2028d\\u2029e\\u009Ff";
    const QString shownBackslashes = "C:\\Files \\u005Cu0041";
    ASSERT_EQ(cli({"set", "com.example.App", "--", awkward, "@a"}).exitCode, 0);
    ASSERT_EQ(cli({"set", "com.example.App", shownBackslashes, "@b"}).exitCode, 0);
    EXPECT_EQ(readPlist(home.preferencesFile("com.example.App")).value("NSUserKeyEquivalents"),
              QVariant(QVariantMap{{awkward, "@a"}, {backslashes, "@b"}}));
    const auto listed = cli({"list", "com.example.App"});
    EXPECT_EQ(listed.out, shownAwkward + "\t@a\t\u2318A\n" + shownBackslashes + "\t@b\t\u2318B\n");

    EXPECT_EQ(cli({"remove", "com.example.App", shownAwkward}).exitCode, 0);
    EXPECT_EQ(cli({"remove", "com.example.App", shownBackslashes}).exitCode, 0);
    EXPECT_EQ(readPlist(home.preferencesFile("com.example.App")).value("NSUserKeyEquivalents"),
              QVariant(QVariantMap()));

    writePlist(home.preferencesFile("com.apple.universalaccess"),
               QVariantMap{{"com.apple.custommenu.apps",
                            QVariantList{QStringLiteral(u"com.example.one\u2028two"), "x\ty"}}});
    EXPECT_EQ(cli({"registered"}).out, QString("com.example.one\\u2028two\nx\\u0009y\n"));
}

} // namespace
