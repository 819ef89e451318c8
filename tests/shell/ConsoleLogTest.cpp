#include "SupportFixture.h"
#include "shell/QRVConsoleLog.h"

#include <gtest/gtest.h>

using namespace qrv;
using namespace qrv::testing;

namespace {

TEST(ConsoleLog, OneLinePerEntryWithTheLogsOwnTimeElseTheEntrysTime) {
    const QDateTime time(QDate(2025, 3, 4), QTime(5, 6, 7, 89), Qt::LocalTime);
    const QString text = QRVConsoleLog::format({
        {time, QString(), QStringLiteral("first")},
        {time, QStringLiteral("Mar  4 05:06:07"), QStringLiteral("second")},
        {QDateTime(), QString(), QString()},
    });
    EXPECT_EQ(text, "2025-03-04 05:06:07.089 first\n"
                    "Mar  4 05:06:07 second\n"
                    "(no time) \n");
    EXPECT_EQ(QRVConsoleLog::format({}), "No entries in console log");
}

TEST(ConsoleLog, ReadsTheLastDayOfThisProcessOffTheMainThreadAndAnswersOnIt) {
    SupportFixture f;
    f.systemLog.stored = {{QDateTime(), QStringLiteral("t"), QStringLiteral("hello")}};
    f.scheduler.setBackgroundRunsAutomatically(false);
    QRVConsoleLog log(f.systemLog, f.scheduler, QStringLiteral("quorvane"));
    QStringList answers;
    log.gatherLogContent([&answers](const QString& text) { answers << text; });

    // Nothing is read on the caller's turn; the global queue does it.
    EXPECT_TRUE(f.systemLog.lastSender.isNull());
    EXPECT_EQ(f.scheduler.runBackground(), 1);
    EXPECT_EQ(f.systemLog.lastSender, "quorvane");
    EXPECT_EQ(f.systemLog.lastSince, f.scheduler.now().addSecs(-86400));
    EXPECT_EQ(f.systemLog.lastLimit, QRVConsoleLog::kMaximumEntries);
    EXPECT_TRUE(answers.isEmpty()); // the answer waits for the main queue
    f.scheduler.runPending();
    EXPECT_EQ(answers, QStringList{"t hello\n"});

    // No journal reads as no entries.
    f.systemLog.failure = QStringLiteral("The system journal could not be opened: denied");
    log.gatherLogContent([&answers](const QString& text) { answers << text; });
    f.scheduler.runBackground();
    f.scheduler.runPending();
    EXPECT_EQ(answers.last(), "No entries in console log");
}

} // namespace
