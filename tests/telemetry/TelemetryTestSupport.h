#pragma once

#include "HttpTestSupport.h"
#include "LoopbackHttpServer.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/testing/VirtualScheduler.h"
#include "support/TempHome.h"
#include "support/Wait.h"
#include "telemetry/TLMChannelGroup.h"
#include "telemetry/TLMDataFolder.h"
#include "telemetry/TLMLogDBStorage.h"
#include "telemetry/TLMLogSamples.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace qrv::testing {

// Asks the sqlite3 command-line shell, so a test sees the file as any other
// reader would rather than through the store. Answers the output, trimmed.
inline QString sqliteShell(const QString& file, const QString& sql) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file, sql});
    if (!shell.waitForFinished(30000) || shell.exitCode() != 0)
        return QStringLiteral("sqlite3 failed: ") + QString::fromUtf8(shell.readAllStandardError());
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

// A store in a folder of its own, removed at the end of the test. Stores
// opened through it share one key for their target tokens, as the runs of
// the program do.
struct StoreFolder {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("Logs.sqlite"));
    TLMEncrypter encrypter = TLMEncrypter::withNewKey();
    QString sql(const QString& statement) const { return sqliteShell(file, statement); }
};

// A crash report whose error id tells which one it is.
inline TLMLogPtr namedLog(const QString& name, qint64 encodedSize = 0) {
    auto log = TLMLogSamples::crashReport();
    log->errorId = name;
    TLMLogSamples::padToEncodedSize(*log, encodedSize);
    return log;
}

inline QString nameOf(const TLMLogPtr& log) {
    auto* report = dynamic_cast<TLMCrashReportLog*>(log.get());
    return report ? report->errorId : QString();
}

inline const QString kTestAppSecret = QStringLiteral("0d3e8f51-27a4-4c69-b1f0-9e6a5c2d7b38");

// A temporary home with user defaults, virtual time, and a loopback server
// standing in for the telemetry service.
struct TelemetryEnvironment {
    TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    UserDefaults defaults{preferences, QStringLiteral("com.brackwyn.Quorvane")};
    VirtualScheduler scheduler;
    TLMContext context{scheduler, defaults, TLMDataFolder::forHome(home.path())};
    LoopbackHttpServer server;
    std::shared_ptr<FakeReachability> network = std::make_shared<FakeReachability>();
    bool listening = server.listen();

    TLMChannelGroupOptions groupOptions() const {
        return TLMChannelGroupOptions{
            .config = {server.baseUrl(), kTestAppSecret, true},
            .reachability = network,
        };
    }
    // Lets answers arrive and the queue handle them until the condition holds.
    bool settle(const std::function<bool()>& condition) {
        return waitUntil([&] {
            scheduler.runPending();
            return condition();
        });
    }
    // The logs array of a request's JSON body.
    QJsonArray logsOfRequest(qsizetype index) const {
        return QJsonDocument::fromJson(server.requests().value(index).body)
            .object()
            .value(QLatin1String("logs"))
            .toArray();
    }
};

} // namespace qrv::testing
