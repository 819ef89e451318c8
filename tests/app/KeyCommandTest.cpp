#include "CliRunner.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using qrv::testing::runCli;

namespace {

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
