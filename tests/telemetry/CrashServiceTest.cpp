#include "TelemetryTestSupport.h"
#include "support/HelperPrograms.h"
#include "support/QtPrinters.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMTelemetry.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qrv;
using namespace std::chrono_literals;

namespace {

class CrashServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TLMTelemetry::reset();
        ASSERT_TRUE(env.listening);
    }
    void TearDown() override { TLMTelemetry::reset(); }

    // An earlier run: a process with the crash handlers that crashes.
    void crashedRun(const QString& mode) {
        QProcess helper;
        helper.start(qrv::testing::helperProgram(QStringLiteral("quorvane-crash-helper")),
                     {TLMCrashes::crashFolder(env.context.dataFolder), mode});
        ASSERT_TRUE(helper.waitForFinished(30000));
        ASSERT_EQ(records().size(), 1);
    }
    QStringList records() const {
        return QDir(TLMCrashes::crashFolder(env.context.dataFolder))
            .entryList({"*.crashrecord"}, QDir::Files);
    }
    void start() {
        TLMTelemetry::start(env.context, TLMTelemetryOptions{env.groupOptions(), false},
                            {&TLMCrashes::service});
        env.scheduler.runPending();
    }
    qint64 storedLogs() const { return TLMTelemetry::channelGroup()->storage()->countLogs(); }

    qrv::testing::TelemetryEnvironment env;
};

TEST_F(CrashServiceTest, TheNextStartSendsTheCrashOnceAndDeletesItsRecord) {
    bool asked = false;
    TLMCrashes::setUserConfirmationHandler([&](const QList<TLMErrorReport>&) {
        asked = true;
        return true;
    });
    TLMTelemetry::reset(); // a test that ended before it started the library
    crashedRun("segv");
    start();
    EXPECT_FALSE(asked);              // the reset forgot the handler
    EXPECT_TRUE(records().isEmpty()); // stored, so the record went
    EXPECT_EQ(storedLogs(), 1);

    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
    env.scheduler.advance(10s);
    QCoreApplication::processEvents();
    ASSERT_EQ(env.server.requests().size(), 1);
    ASSERT_EQ(env.logsOfRequest(0).size(), 1);
    const QJsonObject crash = env.logsOfRequest(0)[0].toObject();
    EXPECT_EQ(crash.value("type").toString(), "crashReport");
    EXPECT_EQ(crash.value("exceptionType").toString(), "SIGSEGV");
    EXPECT_EQ(crash.value("processName").toString(), "crash-helper");
    EXPECT_TRUE(crash.value("stackTrace").toString().contains("quorvane-crash-helper"));
    EXPECT_EQ(crash.value("device").toObject().value("appVersion").toString(),
              TLMDevice::current().appVersion);
}

TEST_F(CrashServiceTest, TheConfirmationHandlerIsAskedOnTheMainThreadAndDecliningLeavesNothing) {
    crashedRun("exception");
    QList<TLMErrorReport> asked;
    int askedOnQueue = -1;
    TLMCrashes::setUserConfirmationHandler([&](const QList<TLMErrorReport>& reports) {
        asked = reports;
        askedOnQueue = env.scheduler.currentQueue();
        return true; // the answer comes later
    });
    start();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(askedOnQueue, 0); // the main queue
    EXPECT_EQ(asked[0].exceptionName, "std::runtime_error");
    EXPECT_EQ(asked[0].exceptionReason, "the helper's unhandled failure");
    EXPECT_EQ(records().size(), 1); // kept until the user answers
    EXPECT_EQ(storedLogs(), 0);

    TLMCrashes::notifyWithUserConfirmation(TLMUserConfirmationDontSend);
    env.scheduler.advance(5s);
    QCoreApplication::processEvents();
    EXPECT_TRUE(records().isEmpty());
    EXPECT_EQ(storedLogs(), 0);
    EXPECT_TRUE(env.server.requests().isEmpty());
}

TEST_F(CrashServiceTest, ConfirmingSendsWhatWaitedAndASecondAnswerFindsNothing) {
    crashedRun("abort");
    TLMCrashes::setUserConfirmationHandler([](const QList<TLMErrorReport>&) { return true; });
    start();
    EXPECT_EQ(storedLogs(), 0);
    TLMCrashes::notifyWithUserConfirmation(TLMUserConfirmationSend);
    env.scheduler.runPending();
    EXPECT_TRUE(records().isEmpty());
    env.scheduler.advance(1s);
    ASSERT_TRUE(env.settle([&] { return storedLogs() == 0; }));
    ASSERT_EQ(env.server.requests().size(), 1);
    EXPECT_EQ(env.logsOfRequest(0)[0].toObject().value("exceptionType").toString(), "SIGABRT");

    // A second answer finds nothing waiting.
    TLMCrashes::notifyWithUserConfirmation(TLMUserConfirmationSend);
    env.scheduler.advance(2s);
    EXPECT_EQ(env.server.requests().size(), 1);
}

} // namespace
