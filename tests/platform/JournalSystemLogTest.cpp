#include "platform/linux/JournalSystemLog.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

constexpr auto kJournalRemote = "/lib/systemd/systemd-journal-remote";
constexpr qint64 kSince = 1700000000; // seconds since 1970

struct ExportEntry {
    qint64 offsetSeconds; // from kSince
    QByteArray command;
    QByteArray identifier;
    QByteArray message;
};

// A journal file in a folder of its own, written by the journal's own tool
// from the export format.
class TestJournal {
  public:
    bool write(const QList<ExportEntry>& entries) {
        QByteArray exported;
        int cursor = 0;
        for (const ExportEntry& e : entries) {
            ++cursor;
            exported += "__CURSOR=s=0;i=" + QByteArray::number(cursor) + "\n";
            exported += "__REALTIME_TIMESTAMP=" +
                        QByteArray::number((kSince + e.offsetSeconds) * 1000000 + 250000) + "\n";
            exported += "__MONOTONIC_TIMESTAMP=" + QByteArray::number(cursor) + "\n";
            exported += "_BOOT_ID=0123456789abcdef0123456789abcdef\n";
            exported += "_COMM=" + e.command + "\n";
            if (!e.identifier.isEmpty())
                exported += "SYSLOG_IDENTIFIER=" + e.identifier + "\n";
            exported += "MESSAGE=" + e.message + "\n\n";
        }
        QProcess tool;
        tool.start(QString::fromLatin1(kJournalRemote),
                   {QStringLiteral("-o"), folder.filePath(QStringLiteral("test.journal")),
                    QStringLiteral("-")});
        tool.write(exported);
        tool.closeWriteChannel();
        return tool.waitForFinished(30000) && tool.exitCode() == 0;
    }

    QTemporaryDir folder;
};

QStringList messages(const QList<SystemLogEntry>& entries) {
    QStringList list;
    for (const SystemLogEntry& entry : entries)
        list << entry.message;
    return list;
}

TEST(JournalSystemLog, ReadsTheSendersEntriesSinceTheGivenTimeOldestFirst) {
    QTemporaryDir empty; // a folder without journals has no entries
    const auto none =
        JournalSystemLog(empty.path()).entries("quorvane", QDateTime::currentDateTime(), 10);
    ASSERT_TRUE(none.ok()) << none.error().toStdString();
    EXPECT_TRUE(none->isEmpty());

    if (!QFile::exists(QString::fromLatin1(kJournalRemote)))
        GTEST_SKIP() << kJournalRemote << " is not installed";
    TestJournal journal;
    ASSERT_TRUE(journal.write({
        {-100, "quorvane", "", "yesterday"},
        {1, "quorvane", "", "started"},
        {2, "other", "", "not ours"},
        {3, "python3", "quorvane", "through syslog"},
        {4, "quorvane", "", "caf\xc3\xa9 \xe2\x86\x92 done"},
    }));
    const JournalSystemLog log(journal.folder.path());
    const QDateTime since = QDateTime::fromSecsSinceEpoch(kSince);

    const auto all = log.entries(QStringLiteral("quorvane"), since, 100);
    ASSERT_TRUE(all.ok()) << all.error().toStdString();
    EXPECT_EQ(messages(*all), (QStringList{"started", "through syslog", u"café → done"_qs}));
    EXPECT_EQ(all->first().time, QDateTime::fromMSecsSinceEpoch((kSince + 1) * 1000 + 250));

    // The limit keeps the newest.
    const auto newest = log.entries(QStringLiteral("quorvane"), since, 2);
    ASSERT_TRUE(newest.ok());
    EXPECT_EQ(messages(*newest), (QStringList{"through syslog", u"café → done"_qs}));

    // A sender that would read as another field matches nothing.
    const auto forged = log.entries(QStringLiteral("x\nMESSAGE=started"), since, 100);
    ASSERT_TRUE(forged.ok());
    EXPECT_TRUE(forged->isEmpty());
}

} // namespace
