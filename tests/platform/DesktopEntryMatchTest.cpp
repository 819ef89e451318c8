#include "platform/linux/DesktopEntryMatch.h"

#include "FileHelpers.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::desktop;

namespace {

TEST(DesktopEntryMatch, ExecIsSplitAsTheFormatQuotesIt) {
    EXPECT_EQ(execArguments(QStringLiteral("gedit %U")), QStringList{"gedit"});
    EXPECT_EQ(execArguments(QStringLiteral("\"/opt/My App/run\" --new-window %f")),
              (QStringList{"/opt/My App/run", "--new-window"}));
    EXPECT_EQ(execArguments(QStringLiteral("sh -c \"echo \\\"hi\\\"\"")),
              (QStringList{"sh", "-c", "echo \"hi\""}));
    EXPECT_EQ(execArguments(QStringLiteral("env LANG=C GDK_BACKEND=x11 /usr/bin/tool --x")),
              (QStringList{"/usr/bin/tool", "--x"}));
    EXPECT_EQ(execArguments(QStringLiteral("app --rate=100%% %i %c")),
              (QStringList{"app", "--rate=100%"}));
    EXPECT_TRUE(execArguments(QString()).isEmpty());
}

TEST(DesktopEntryMatch, TheClosestEntryWins) {
    const QString shell = QFileInfo(QStringLiteral("/bin/sh")).canonicalFilePath();
    const QList<Entry> entries{
        {"by-class", "", {}, "Menu Test App"},
        {"by-name", "", {"/somewhere/else/sh"}},
        {"plain", "", {"/bin/sh"}},
        {"script", "", {"/bin/sh", "/usr/share/tool/run.sh"}},
    };
    Process process{1, shell, {"/bin/sh", "/usr/share/tool/run.sh", "--flag"}, "sh", "Tool"};
    // The program and its fixed arguments start the command line: an
    // interpreter's script picks its own entry over the interpreter's.
    EXPECT_EQ(match(process, entries), 3);
    process.commandLine = {"/bin/sh", "/other.sh"};
    EXPECT_EQ(match(process, entries), 2);
    // A wrapper that runs another file of the same name.
    process.executable = QStringLiteral("/usr/lib/tool/sh");
    EXPECT_EQ(match(process, entries.mid(0, 2)), 1);
    // Only the window class is left; case is ignored.
    process = Process{2, "/usr/lib/x/menu-app", {"menu-app"}, "menu-app", "menu test app"};
    EXPECT_EQ(match(process, entries), 0);
    process.applicationName = QStringLiteral("Something");
    EXPECT_FALSE(match(process, entries).has_value());
    EXPECT_EQ(process.processName(), "menu-app");
}

void writeEntry(const QString& path, const QByteArray& body) {
    EXPECT_TRUE(qrv::testing::writeFile(path, "[Desktop Entry]\nType=Application\n" + body));
}

TEST(DesktopEntryMatch, EntriesAreReadOncePerIdMostImportantFolderFirst) {
    qrv::testing::TempHome home;
    const QString first = home.file("first"), second = home.file("second");
    writeEntry(first + "/org.example.Edit.desktop", "Exec=edit-first\nStartupWMClass=Edit\n");
    writeEntry(second + "/org.example.Edit.desktop", "Exec=edit-second\n");
    writeEntry(first + "/gone.desktop", "Hidden=true\nExec=gone\n");
    writeEntry(second + "/gone.desktop", "Exec=gone\n");
    writeEntry(second + "/kde/tool.desktop", "Exec=tool\nNoDisplay=true\n");
    for (const char* empty : {"/link.desktop", "/dir.desktop"}) // not entries
        EXPECT_TRUE(qrv::testing::writeFile(second + empty, {}));

    QList<Entry> entries = readEntries({first, second});
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.id < b.id; });
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries.at(0).id, "kde-tool");
    EXPECT_TRUE(entries.at(0).noDisplay);
    EXPECT_EQ(entries.at(1).id, "org.example.Edit");
    EXPECT_EQ(entries.at(1).exec, QStringList{"edit-first"});
    EXPECT_EQ(entries.at(1).wmClass, "Edit");
}

TEST(DesktopEntryMatch, ThisProcessIsReadFromTheSystem) {
    const Process self = Process::read(QCoreApplication::applicationPid());
    EXPECT_EQ(self.executable,
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
    EXPECT_EQ(self.processName(), QFileInfo(self.executable).fileName());
    EXPECT_FALSE(self.commandLine.isEmpty());
    EXPECT_TRUE(Process::read(-1).processName().isEmpty());
}

} // namespace
