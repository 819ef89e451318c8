#include "CliRunner.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using qrv::testing::runCli;

namespace {

const QStringList kCommands{"apps",       "export", "import", "key",       "list",
                            "registered", "remove", "set",    "telemetry", "version"};

TEST(CliTool, EveryCommandExplainsItselfAndItsExitStatuses) {
    qrv::testing::TempHome home;
    const auto overall = runCli({"--help"}, home.path());
    EXPECT_EQ(overall.exitCode, 0);
    EXPECT_TRUE(overall.out.contains("exit status:\n  0  success\n  1  "))
        << overall.out.toStdString();
    for (const QString& command : kCommands) {
        EXPECT_TRUE(overall.out.contains("\n  " + command)) << command.toStdString();
        const auto help = runCli({command, "--help"}, home.path());
        EXPECT_EQ(help.exitCode, 0) << command.toStdString();
        EXPECT_TRUE(help.out.startsWith("usage: quorvane-cli ")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("\nexit status:\n  0  success\n  1  ") &&
                    help.out.contains("\n  2  the arguments were not usable"))
            << help.out.toStdString();
        EXPECT_EQ(runCli({"help", command}, home.path()).out, help.out);
    }
    EXPECT_TRUE(runCli({"remove", "--help"}, home.path())
                    .out.contains("there is no shortcut titled TITLE"));
    // After "--", "--help" is a title.
    EXPECT_EQ(runCli({"set", "-g", "--", "--help", "@h"}, home.path()).exitCode, 0);
}

TEST(CliTool, AUsageErrorShowsThatCommandsUsage) {
    qrv::testing::TempHome home;
    const QList<std::pair<QStringList, QString>> cases{
        {{"list"}, "quorvane-cli [--home DIR] list [--json] APP"},
        {{"set", "-g", "Copy"}, "quorvane-cli [--home DIR] set [--path] APP TITLE KEY"},
        {{"remove", "--json", "-g", "Copy"}, "quorvane-cli [--home DIR] remove [--path] APP TITLE"},
        {{"registered", "extra"}, "quorvane-cli [--home DIR] registered"},
        {{"apps", "extra"}, "quorvane-cli [--home DIR] apps"},
        {{"export"}, "quorvane-cli [--home DIR] export APP [FILE]"},
        {{"import", "-g", "a", "b"}, "quorvane-cli [--home DIR] import APP FILE [--dry-run]"},
        {{"version", "extra"}, "quorvane-cli version"},
        {{"telemetry"}, "quorvane-cli [--home DIR] telemetry"},
    };
    for (const auto& [arguments, usage] : cases) {
        const auto result = runCli(arguments, home.path());
        EXPECT_EQ(result.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains("usage: " + usage)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
    }
}

// Qt would turn the byte into U+FFFD and the file into com.\uFFFD.App.plist.
TEST(CliTool, ArgumentsThatAreNotUtf8AreRefused) {
    qrv::testing::TempHome home;
    QProcess shell;
    shell.start("/bin/sh",
                {"-c", "exec \"$0\" --home \"$1\" set \"$(printf 'com.\\377.App')\" Save @s",
                 qrv::testing::helperProgram("quorvane-cli"), home.path()});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 2);
    EXPECT_EQ(shell.readAllStandardError(),
              "quorvane-cli: argument 4 (\xE2\x80\x9C"
              "com.\\xFF.App\xE2\x80\x9D) is not UTF-8 text, which every argument must be\n");
    const QStringList written = QDir(home.file("Library/Preferences")).entryList(QDir::Files);
    EXPECT_TRUE(written.filter("App").isEmpty()) << written.join(' ').toStdString();
}

TEST(TelemetryCommand, ListKeepsEveryLogOnOneLine) {
    qrv::testing::TempHome home;
    const QString group = QStringLiteral(u"crash\tgroup\nnext\u2028line");
    ASSERT_EQ(runCli({"telemetry", "add", "--group", group, "--priority", "1", "--bytes", "16"},
                     home.path())
                  .exitCode,
              0);
    const auto listed = runCli({"telemetry", "list"}, home.path());
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.out.split('\n').value(1).section('\t', 1, 1),
              "crash\\u0009group\\u000Anext\\u2028line");
    EXPECT_EQ(listed.out.count('\n'), 2);
}

QString report(const QString& keyCode, const QString& flags, const QString& display,
               const QString& written, const QString& valid) {
    return QStringLiteral("keyCode=%1\nmodifierFlags=%2\ndisplay=%3\nwritten=%4\nvalid=%5\n")
        .arg(keyCode, flags, display, written, valid);
}

TEST(KeyCommand, ReadsAndWritesBackOnTheUsLayout) {
    auto r = runCli({"key", "~@x"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, report("7", "0x180000", QStringLiteral(u"\u2325\u2318X"), "@~x", "yes"));

    r = runCli({"key", "\\uF708"});
    EXPECT_EQ(r.out, report("96", "0x0", "F5", "\\uF708", "yes"));
    r = runCli({"key", "@\\u0014"}); // the space glyph reads, Space is written
    EXPECT_EQ(r.out, report("49", "0x100000", QStringLiteral(u"\u2318Space"), "@ ", "yes"));
    r = runCli({"key", "--code", "0", "--modifiers", "shift"});
    EXPECT_EQ(r.out, report("0", "0x20000", QStringLiteral(u"\u21E7A"), "$a", "no"));
    r = runCli({"key", "\\uF717"}); // F20 is named and written like F1-F19
    EXPECT_EQ(r.out, report("90", "0x0", "F20", "\\uF717", "yes"));
    r = runCli({"key", "--code", "90", "--modifiers", "cmd"});
    EXPECT_EQ(r.out, report("90", "0x100000", QStringLiteral(u"\u2318F20"), "@\\uF717", "yes"));
    r = runCli({"key", "--code", "53"}); // Escape alone: valid for the recorder
    EXPECT_EQ(r.out,
              report("53", "0x0", QStringLiteral(u"\u238B"), QStringLiteral(u"\u238B"), "yes"));
}

TEST(KeyCommand, GermanLayout) {
    auto r = runCli({"key", "--layout", "de", QStringLiteral(u"@\u00DF")});
    EXPECT_EQ(r.out, report("27", "0x100000", QStringLiteral(u"\u2318SS"), "none", "yes"));
    r = runCli({"key", "--layout", "de", "@1"});
    EXPECT_EQ(r.out, report("83", "0x100000", QStringLiteral(u"\u23181"), "@1", "yes"));
    r = runCli({"key", "--layout", "de", "?"});
    EXPECT_EQ(r.out, report("114", "0x0", "?", "?", "no"));
    r = runCli(
        {"key", "--layout", "de", "--variant", "nodeadkeys", "--code", "24", "--modifiers", "cmd"});
    EXPECT_EQ(r.out, report("24", "0x100000", QStringLiteral(u"\u2318\u00B4"),
                            QStringLiteral(u"@\u00B4"), "yes"));
}

TEST(KeyCommand, UnreadableStringsAndUsageErrors) {
    auto r = runCli({"key", "@X"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QString("keyCode=none\n"));
    EXPECT_EQ(runCli({"key", ""}).exitCode, 1);

    for (const QStringList& usage : {QStringList{"key"},
                                     {"key", "@a", "@b"},
                                     {"key", "--code", "128"},
                                     {"key", "--code", "1", "--modifiers", "hyper"},
                                     {"key", "--layout"},
                                     {"key", "--layout", "no-such-layout", "@a"},
                                     {"key", "--variant", "x", "@a"},
                                     {"key", "@\\u0000"}}) {
        r = runCli(usage);
        EXPECT_EQ(r.exitCode, 2) << usage.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("usage: quorvane-cli key ")) << r.err.toStdString();
    }
}

} // namespace
