#pragma once

#include "ScriptedModalRunner.h"
#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/testing/FakeSystemLog.h"
#include "platform/testing/RecordingUrlOpener.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHttpTransport.h"
#include "platform/testing/VirtualScheduler.h"
#include "shell/QRVAppSupport.h"
#include "support/TempHome.h"

namespace qrv::testing {

// The support half of the application delegate on doubles: preference files
// in a temporary home, virtual time, scripted alerts, windows and HTTP.
struct SupportFixture {
    TempHome home;
    PlistFilePreferenceStore preferences{home.path()};
    UserDefaults defaults{preferences, QStringLiteral("com.brackwyn.Quorvane")};
    VirtualScheduler scheduler;
    ScriptedAlertPresenter alerts;
    FakeSystemLog systemLog;
    RecordingUrlOpener browser;
    ScriptedHttpTransport http;
    ScriptedModalRunner modal;
    AppSupportServices services{defaults,  preferences, scheduler, alerts,
                                systemLog, browser,     http,      modal};

    static AppSupportIdentity identity(const QString& home) {
        AppSupportIdentity identity;
        identity.bundleName = QStringLiteral("Quorvane");
        identity.bundleIdentifier = QStringLiteral("com.brackwyn.Quorvane");
        identity.shortVersion = QStringLiteral("2.1");
        identity.bundleVersion = QStringLiteral("123");
        identity.processName = QStringLiteral("quorvane");
        identity.preferredLocalizations = {QStringLiteral("en")};
        identity.preferencesHome = home;
        identity.systemVersion = {14, 5, 0};
        identity.hosts = {QUrl(QStringLiteral("https://updates.example")),
                          QUrl(QStringLiteral("https://telemetry.example")),
                          QUrl(QStringLiteral("https://replies.example"))};
        identity.telemetryAppSecret = QStringLiteral("6f1c9a2e-4b7d-4e35-9a0c-3d58b21f7e64");
        identity.supportFormIdentifier = QStringLiteral("q7rv2n4e8k1m5p3s6t9w0x2y4z");
        return identity;
    }

    std::unique_ptr<QRVAppSupport> makeSupport(AppSupportIdentity id) {
        return std::make_unique<QRVAppSupport>(services, std::move(id));
    }
    std::unique_ptr<QRVAppSupport> makeSupport() { return makeSupport(identity(home.path())); }
};

} // namespace qrv::testing
