#include "support/HelperPrograms.h"
#include "support/QtPrinters.h"
#include "telemetry/TLMCrashCapture.h"
#include "telemetry/TLMCrashRecord.h"
#include "telemetry/TLMLogArchiver.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace qrv;

namespace {

struct HelperRun {
    QProcess::ExitStatus status = QProcess::NormalExit;
    int exitCode = -1;
    std::optional<TLMCrashRecord> record; // set when exactly one readable record was left
};

// Runs the helper, which installs the handlers and crashes as asked; answers
// how it ended and the one record it must leave in the folder.
HelperRun runHelper(const QString& folder, const QString& mode) {
    SCOPED_TRACE(mode.toStdString());
    QProcess helper;
    helper.start(qrv::testing::helperProgram(QStringLiteral("quorvane-crash-helper")),
                 {folder, mode});
    EXPECT_TRUE(helper.waitForFinished(30000));
    HelperRun run{helper.exitStatus(), helper.exitCode(), {}};
    const QDir dir(folder);
    const QStringList records = dir.entryList({"*.crashrecord"}, QDir::Files);
    EXPECT_EQ(records.size(), 1);
    if (records.size() == 1) {
        auto record = TLMCrashRecord::read(dir.filePath(records.first()));
        EXPECT_TRUE(record) << record.error().toStdString();
        if (record)
            run.record = *record;
    }
    return run;
}

// The record of a helper that must have crashed.
std::optional<TLMCrashRecord> crashRecord(const QString& folder, const QString& mode) {
    const HelperRun run = runHelper(folder, mode);
    EXPECT_EQ(run.status, QProcess::CrashExit) << mode.toStdString();
    return run.record;
}

// Each way of faulting leaves one record of the fault, and the process still ends.
TEST(CrashCapture, EveryFaultLeavesOneRecordWithItsSignalAddressAndFrames) {
    struct Case {
        const char* mode;
        bool complete;
        std::optional<quint64> address; // where the helper faults, when it is known
        int code;                       // the signal's code, when it is known
        bool faultInHelper;             // the first frame is the helper's own code
    };
    const Case cases[] = {
        {"segv", true, 24, SEGV_MAPERR, true},
        {"two-threads", true, 24, SEGV_MAPERR, true},     // at once: still one record
        {"smashed-stack", false, {}, SEGV_MAPERR, false}, // walking the stack faults too
        // On background threads; the last starts the crash service as the
        // program does and overflows the library's own queue.
        {"overflow-on-queue", true, {}, 0, true},
        {"overflow-in-pool", true, {}, 0, true},
        {"overflow-on-logs-queue", true, {}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        QTemporaryDir data;
        const auto record = crashRecord(data.filePath("Crashes"), c.mode);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->complete, c.complete);
        EXPECT_EQ(record->signalName, "SIGSEGV");
        ASSERT_TRUE(record->faultAddress.has_value());
        EXPECT_EQ(*record->faultAddress, c.address.value_or(*record->faultAddress));
        EXPECT_EQ(record->signalCode, c.code ? c.code : record->signalCode);
        EXPECT_EQ(record->processName, "crash-helper");
        EXPECT_GT(record->processId, 0);
        EXPECT_GE(record->crashTime, record->launchTime);
        // The faulting instruction is known before any walk begins.
        ASSERT_FALSE(record->frames.isEmpty());
        const QString firstFrame = record->stackTrace().section('\n', 0, 0);
        EXPECT_TRUE(!c.faultInHelper || firstFrame.contains("quorvane-crash-helper +"))
            << firstFrame.toStdString();

        const auto log = record->toLog();
        EXPECT_TRUE(log->isValid());
        EXPECT_EQ(log->exceptionType, "SIGSEGV");
        const QString reason =
            QStringLiteral("Segmentation fault at 0x%1").arg(*record->faultAddress, 0, 16);
        EXPECT_TRUE(log->exceptionReason.contains(reason)) << log->exceptionReason.toStdString();
    }
}

TEST(CrashCapture, AnUncaughtExceptionIsRecordedOnceWithItsTypeAndMessage) {
    QTemporaryDir folder;
    // One record: the abort() that follows adds no second one.
    const auto record = crashRecord(folder.path(), "exception");
    ASSERT_TRUE(record);
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
    const TLMLogPtr readBack = TLMLogArchiver::decode(TLMLogArchiver::encode(*record->toLog()));
    const auto* report = dynamic_cast<const TLMCrashReportLog*>(readBack.get());
    ASSERT_TRUE(report);
    EXPECT_EQ(report->appLaunchTimestamp.date().year(), 9999);
    EXPECT_EQ(report->timestamp.date().year(), 9999);
}

TEST(CrashCapture, AnEarlierHandlerGetsTheFaultItselfAfterTheRecordIsWritten) {
    QTemporaryDir folder;
    const HelperRun run = runHelper(folder.path(), "chained");
    EXPECT_EQ(run.status, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 42) << "the earlier handler saw another code or address";
    ASSERT_TRUE(run.record);
    EXPECT_TRUE(run.record->complete);
    EXPECT_EQ(run.record->signalCode, SEGV_MAPERR);
}

} // namespace
