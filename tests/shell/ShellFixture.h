#pragma once

#include "ScriptedFilePanels.h"
#include "ScriptedModalRunner.h"
#include "platform/UserDefaults.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/testing/FakeSystemLog.h"
#include "platform/testing/RecordingUrlOpener.h"
#include "platform/testing/ScriptedHttpTransport.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVAppSupport.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <gtest/gtest.h>

namespace qrv::testing {

// The application delegate on doubles: virtual time, scripted alerts,
// permissions the test sets, and our user defaults in a temporary home.
// Telemetry is never really started; the start is recorded.
class ShellTest : public ::testing::Test {
  protected:
    struct TelemetryStart {
        QString appSecret;
        QList<TLMServiceClass> services;
    };

    // The delegate's support half on the fixture's doubles (made once).
    QRVAppSupport& supportHalf() {
        if (!support) {
            support = std::make_unique<QRVAppSupport>(
                AppSupportServices{defaults, platform.preferences, platform.scheduler,
                                   platform.alerts, systemLog, browser, http, modal},
                AppSupportIdentity::standard(platform.home.path()));
            support->setOptionKeyCheck([] { return false; });
        }
        return *support;
    }

    QRVAppDelegate& makeDelegate() {
        delegate = std::make_unique<QRVAppDelegate>(platform.services, parts());
        delegate->setTelemetryStarter(
            [this](const QString& secret, const QList<TLMServiceClass>& services) {
                telemetryStarts.append({secret, services});
            });
        return *delegate;
    }

    QRVAppDelegate& launched() {
        makeDelegate().launch();
        return *delegate;
    }

    AppDelegateParts parts() { return {moveSystem, supportHalf(), filePanels, supportDirectory()}; }

    // The program's support folder in the temporary home, made on first use.
    QString supportDirectory() const {
        const QString path =
            platform.home.file(QStringLiteral("Library/Application Support/com.brackwyn.Quorvane"));
        QDir().mkpath(path);
        return QFileInfo(path).canonicalFilePath();
    }

    // Moves the virtual clock to `moment`.
    void setNow(const QDateTime& moment) {
        platform.scheduler.advance(Millis(platform.scheduler.now().msecsTo(moment)));
    }

    // Runs the event loop until the application is told to end (answers the
    // exit status), or -1 when it is still running after a generous while.
    static int runUntilExit(const std::function<void()>& action) {
        QTimer::singleShot(0, qApp, action);
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(-1); });
        guard.start(20000);
        return QApplication::exec();
    }

    // Started from a build folder: no application folder to move, unless a test puts one there.
    static FakeBundleMoveSystem startedFromBuildFolder() {
        FakeBundleMoveSystem system;
        system.bundle = {};
        return system;
    }

    FakePlatform platform;
    FakeBundleMoveSystem moveSystem = startedFromBuildFolder();
    ScriptedFilePanels filePanels;
    UserDefaults& defaults = platform.defaults;
    QList<TelemetryStart> telemetryStarts;
    // The support half's doubles.
    FakeSystemLog& systemLog = platform.systemLog;
    RecordingUrlOpener& browser = platform.urlOpener;
    ScriptedHttpTransport& http = platform.http;
    ScriptedModalRunner modal;
    std::unique_ptr<QRVAppSupport> support;
    std::unique_ptr<QRVAppDelegate> delegate;
};

} // namespace qrv::testing
