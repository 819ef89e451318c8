#include "support/QtPrinters.h"
#include "telemetry/TLMCrashCapture.h"
#include "telemetry/TLMCrashRecord.h"
#include "telemetry/TLMLogArchiver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct HelperRun {
    QProcess::ExitStatus status = QProcess::NormalExit;
    int exitCode = -1;
    QStringList records;
};

// Runs the helper, which installs the handlers and crashes as asked; answers
// how it ended and the records it left in the folder.
HelperRun runHelper(const QString& folder, const QString& mode) {
    QProcess helper;
    helper.start(QStringLiteral(QRV_CRASH_HELPER), {folder, mode});
    EXPECT_TRUE(helper.waitForFinished(30000)) << mode.toStdString();
    HelperRun run{helper.exitStatus(), helper.exitCode(), {}};
    const QDir dir(folder);
    for (const QString& name : dir.entryList({"*.crashrecord"}, QDir::Files))
        run.records << dir.filePath(name);
    return run;
}

QStringList crashHelper(const QString& folder, const QString& mode) {
    const HelperRun run = runHelper(folder, mode);
    EXPECT_EQ(run.status, QProcess::CrashExit) << mode.toStdString();
    return run.records;
}

TEST(CrashCapture, ASegmentationFaultLeavesARecordWithItsSignalAddressAndFrames) {
    QTemporaryDir folder;
    const QStringList records = crashHelper(folder.path(), "segv");
    ASSERT_EQ(records.size(), 1);
    const auto record = TLMCrashRecord::read(records.first());
    ASSERT_TRUE(record) << record.error().toStdString();
    EXPECT_TRUE(record->complete);
    EXPECT_EQ(record->signalName, "SIGSEGV");
    EXPECT_EQ(record->faultAddress, std::optional<quint64>(8 * 3));
    EXPECT_EQ(record->processName, "crash-helper");
    EXPECT_GT(record->processId, 0);
    EXPECT_GE(record->crashTime, record->launchTime);
    ASSERT_FALSE(record->frames.isEmpty());
    // The first frame is the faulting instruction, inside the helper itself.
    const QString trace = record->stackTrace();
    EXPECT_TRUE(trace.section('\n', 0, 0).contains("quorvane-crash-helper +"))
        << trace.toStdString();

    const auto log = record->toLog();
    EXPECT_TRUE(log->isValid());
    EXPECT_EQ(log->exceptionType, "SIGSEGV");
    EXPECT_TRUE(log->exceptionReason.contains("Segmentation fault at 0x18"))
        << log->exceptionReason.toStdString();
}

TEST(CrashCapture, AnUncaughtExceptionIsRecordedOnceWithItsTypeAndMessage) {
    QTemporaryDir folder;
    const QStringList records = crashHelper(folder.path(), "exception");
    ASSERT_EQ(records.size(), 1); // the abort() that follows adds no second record
    const auto record = TLMCrashRecord::read(records.first());
    ASSERT_TRUE(record) << record.error().toStdString();
    EXPECT_EQ(record->signal, 0);
    EXPECT_EQ(record->exceptionType, "std::runtime_error");
    EXPECT_EQ(record->exceptionReason, "the helper's unhandled failure");
    // The throw is in the C++ runtime, loaded here too, so its name is found.
    EXPECT_TRUE(record->stackTrace().contains("__cxa_throw")) << record->stackTrace().toStdString();
}

TEST(CrashCapture, ARecordIsReadOnlyWhenItsHeaderAndKindWereWritten) {
    EXPECT_FALSE(TLMCrashRecord::parse("garbage"));
    EXPECT_FALSE(TLMCrashRecord::parse("QRVCRASH 1\npid 12\nlaunch 1700000000000\n"));
    EXPECT_EQ(TLMCrashRecord::parse("QRVCRASH 1\npid 1\nlaunch 1\nsignal 6 SIGABRT\ncode -6\n")
                  ->signalCode,
              SI_TKILL);
    const auto cut = TLMCrashRecord::parse(
        "QRVCRASH 1\npid 12\nlaunch 1700000000000\nsignal 6 SIGABRT\nframe 0x10\nframe 0x");
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->complete);
    EXPECT_EQ(cut->frames, QList<quint64>{0x10});
    EXPECT_EQ(cut->crashTime, cut->launchTime);
    EXPECT_FALSE(TLMCrashRecord::parseModule("7f00-7f10 r-xp 0 08:01 12"));
    EXPECT_EQ(TLMCrashRecord::parseModule("7f00-7f10 r-xp 00001000 08:01 12   /lib/a b.so")->path,
              "/lib/a b.so");
}

TEST(CrashCapture, ARecordWithDatesPastTheYear9999BecomesALogThatCanBeStoredAndReadBack) {
    // 10^16 ms after 1970 lies in the year 318857.
    const auto record = TLMCrashRecord::parse(
        "QRVCRASH 1\npid 12\nlaunch 10000000000000000\ntime 99999999999999 0\nsignal 11 SIGSEGV\n");
    ASSERT_TRUE(record);
    const auto log = record->toLog();
    const TLMLogPtr readBack = TLMLogArchiver::decode(TLMLogArchiver::encode(*log));
    ASSERT_TRUE(readBack);
    const auto* report = dynamic_cast<const TLMCrashReportLog*>(readBack.get());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->appLaunchTimestamp.date().year(), 9999);
    EXPECT_EQ(report->timestamp.date().year(), 9999);
}

TEST(CrashCapture, AFaultWhileWalkingTheStackLeavesEverythingFoundBeforeIt) {
    QTemporaryDir folder;
    const QStringList records = crashHelper(folder.path(), "smashed-stack");
    ASSERT_EQ(records.size(), 1);
    const auto record = TLMCrashRecord::read(records.first());
    ASSERT_TRUE(record) << record.error().toStdString();
    EXPECT_FALSE(record->complete);
    EXPECT_EQ(record->signalName, "SIGSEGV");
    EXPECT_EQ(record->signalCode, SEGV_MAPERR);
    EXPECT_TRUE(record->faultAddress.has_value());
    EXPECT_GT(record->crashTime.toMSecsSinceEpoch(), 0);
    // The faulting instruction is known before the walk begins.
    ASSERT_FALSE(record->frames.isEmpty());
    EXPECT_TRUE(record->toLog()->isValid());
}

TEST(CrashCapture, AStackOverflowOnABackgroundThreadIsRecorded) {
    // The last starts the crash service as the program does and overflows
    // the library's own queue.
    for (const QString mode : {"overflow-on-queue", "overflow-in-pool", "overflow-on-logs-queue"}) {
        QTemporaryDir data;
        const QString folder = data.filePath("Crashes");
        const QStringList records = crashHelper(folder, mode);
        ASSERT_EQ(records.size(), 1) << mode.toStdString();
        const auto record = TLMCrashRecord::read(records.first());
        ASSERT_TRUE(record) << record.error().toStdString();
        EXPECT_TRUE(record->complete);
        EXPECT_EQ(record->signalName, "SIGSEGV");
        // The overflowing frames are the helper's own.
        const QString trace = record->stackTrace();
        EXPECT_TRUE(trace.section('\n', 0, 0).contains("quorvane-crash-helper +"))
            << trace.toStdString();
    }
}

TEST(CrashCapture, AnEarlierHandlerGetsTheFaultItselfAfterTheRecordIsWritten) {
    QTemporaryDir folder;
    const HelperRun run = runHelper(folder.path(), "chained");
    EXPECT_EQ(run.status, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 42) << "the earlier handler saw another code or address";
    ASSERT_EQ(run.records.size(), 1);
    const auto record = TLMCrashRecord::read(run.records.first());
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->complete);
    EXPECT_EQ(record->signalCode, SEGV_MAPERR);
}

TEST(CrashCapture, TwoThreadsFaultingAtOnceLeaveOneRecordAndEndTheProcess) {
    QTemporaryDir folder;
    QElapsedTimer clock;
    clock.start();
    const QStringList records = crashHelper(folder.path(), "two-threads");
    EXPECT_LT(clock.elapsed(), 10000);
    ASSERT_EQ(records.size(), 1);
    const auto record = TLMCrashRecord::read(records.first());
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->complete);
    EXPECT_EQ(record->faultAddress, std::optional<quint64>(24));
}

} // namespace
