// The whole way of a crash: the application crashes; started again inside the
// telemetry period it asks the user about the report while it reads the
// console log, and the report arrives at the telemetry service with the log.
#include "HttpTestSupport.h"
#include "LoopbackHttpServer.h"
#include "ShellFixture.h"
#include "shell/BWCrashReporterWindowController.h"
#include "support/HelperPrograms.h"
#include "support/Wait.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMDataFolder.h"
#include "telemetry/TLMTelemetry.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace qrv;
using namespace qrv::testing;
using namespace std::chrono_literals;

namespace {

class CrashFlow : public ShellTest {
  protected:
    void SetUp() override {
        TLMTelemetry::reset();
        ASSERT_TRUE(server.listen());
    }
    void TearDown() override { TLMTelemetry::reset(); }

    // The application's, on the home both runs share.
    QString dataFolder() const { return TLMDataFolder::forHome(platform.home.path()); }
    QStringList crashRecords() const {
        return QDir(TLMCrashes::crashFolder(dataFolder()))
            .entryList({"*.crashrecord"}, QDir::Files);
    }

    // The built application on this home, inside the telemetry period by its
    // test clock, until its crash service runs; then it gets a segmentation
    // fault from outside.
    void crashTheApplication() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QUORVANE_TEST_TELEMETRY_CLOCK", "2026-05-01T12:00:00Z");
        env.insert("QT_LOGGING_RULES", "qrv.telemetry.info=true");
        QProcess app;
        app.setProcessEnvironment(env);
        // A core file would only slow the test down.
        app.setChildProcessModifier([] {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
        });
        app.start(qrv::testing::helperProgram(QStringLiteral("quorvane")),
                  {"--home", platform.home.path()});
        ASSERT_TRUE(app.waitForStarted());
        QByteArray err;
        const bool started = waitUntil(
            [&] {
                app.waitForReadyRead(50);
                err += app.readAllStandardError();
                return err.contains("Started the service Crashes") ||
                       app.state() == QProcess::NotRunning;
            },
            30000);
        ASSERT_TRUE(started && app.state() == QProcess::Running) << err.toStdString();
        crashedProcess = app.processId();
        ::kill(static_cast<pid_t>(app.processId()), SIGSEGV);
        ASSERT_TRUE(app.waitForFinished(30000));
        EXPECT_EQ(app.exitStatus(), QProcess::CrashExit);
        ASSERT_EQ(crashRecords().size(), 1) << err.toStdString();
    }

    // Every log that reached the service, by type.
    QMultiHash<QString, QJsonObject> logsAtTheService() const {
        QMultiHash<QString, QJsonObject> logs;
        for (const LoopbackHttpServer::Request& request : server.requests()) {
            QByteArray body = request.body;
            if (request.headers.value("content-encoding") == "gzip")
                body = gunzip(body).value_or(QByteArray());
            const QJsonArray array = QJsonDocument::fromJson(body).object()["logs"].toArray();
            for (const QJsonValue& log : array)
                logs.insert(log["type"].toString(), log.toObject());
        }
        return logs;
    }

    // The library with its service on the loopback server, no handlers in
    // the test process.
    void startTelemetryHere() {
        makeDelegate().setTelemetryStarter(
            [this](const QString& secret, const QList<TLMServiceClass>& services) {
                TLMChannelGroupOptions group{{server.baseUrl(), secret, true}, {}, network, {}};
                TLMTelemetry::start({platform.scheduler, defaults, dataFolder()},
                                    TLMTelemetryOptions{group, false}, services);
            });
    }

    qint64 crashedProcess = 0;
    LoopbackHttpServer server;
    std::shared_ptr<FakeReachability> network = std::make_shared<FakeReachability>();
};

TEST_F(CrashFlow, ACrashLeadsToTheDialogAndAReportWithTheLogAtTheService) {
    crashTheApplication();

    // Started again, on virtual time inside the period, with the service here.
    systemLog.stored = {{QDateTime(), QStringLiteral("2026-05-01 12:00:00.000"),
                         QStringLiteral("Opened the preferences of TextEdit")}};
    bool asked = false;
    modal.answer([&asked](QDialog& dialog) {
        asked = true;
        auto& window = dynamic_cast<BWCrashReporterWindowController&>(dialog);
        window.nameField()->setText(QStringLiteral("Ada"));
        window.emailField()->setText(QStringLiteral("ada@example.org"));
        window.detailsTextView()->setPlainText(QStringLiteral("I had just pasted a shortcut."));
        window.sendButton()->click();
        return window.result();
    });
    startTelemetryHere();
    ASSERT_TRUE(delegate->shouldUseTelemetry());
    ASSERT_TRUE(delegate->launch());
    platform.scheduler.runPending(); // the record is read, the user asked
    EXPECT_TRUE(asked);
    EXPECT_EQ(support->crashReporterName(), "Ada");

    platform.scheduler.advance(1s);
    ASSERT_TRUE(waitUntil(
        [&] {
            platform.scheduler.advance(1s);
            return logsAtTheService().size() >= 3;
        },
        30000));
    EXPECT_TRUE(crashRecords().isEmpty());

    const QMultiHash<QString, QJsonObject> logs = logsAtTheService();
    ASSERT_EQ(logs.count("crashReport"), 1);
    const QJsonObject crash = logs.value("crashReport");
    EXPECT_EQ(crash["exceptionType"], "SIGSEGV");
    EXPECT_EQ(crash["processId"].toInteger(), crashedProcess);
    EXPECT_EQ(crash["processName"], "Quorvane");
    QHash<QString, QByteArray> files;
    for (const QJsonObject& attachment : logs.values("errorAttachment")) {
        EXPECT_EQ(attachment["errorId"], crash["id"]);
        files.insert(attachment["fileName"].toString(),
                     QByteArray::fromBase64(attachment["data"].toString().toLatin1()));
    }
    EXPECT_EQ(files.value("Console Log.txt"),
              "2026-05-01 12:00:00.000 Opened the preferences of TextEdit\n");
    EXPECT_EQ(files.value("Details.txt"),
              "Name: Ada\nE-mail: ada@example.org\n\nI had just pasted a shortcut.\n");
}

} // namespace
