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

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qrv::testing {

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
