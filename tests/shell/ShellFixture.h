#pragma once

#include "platform/UserDefaults.h"
#include "platform/linux/PlistFilePreferenceStore.h"
#include "platform/testing/FakeBundleMoveSystem.h"
#include "platform/testing/FakeSystemLog.h"
#include "platform/testing/RecordingUrlOpener.h"
#include "platform/testing/ScriptedAlertPresenter.h"
#include "platform/testing/ScriptedHttpTransport.h"
#include "platform/testing/VirtualScheduler.h"
#include "shell/QRVAppDelegate.h"
#include "shell/QRVAppSupport.h"
#include "shell/QRVFilePanels.h"
#include "shell/QRVModalRunner.h"
#include "support/FakePlatform.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace qrv::testing {

// File panels that the test answers: each sheet waits, as a real one would,
// until answer() chooses a file or cancels it.
class ScriptedFilePanels : public QRVFilePanels {
  public:
    struct Sheet {
        bool save = false;
        SavePanel savePanel;
        OpenPanel openPanel;
        Completion done;
    };

    void beginSaveSheet(const SavePanel& panel, Completion done) override {
        waiting.append({true, panel, {}, std::move(done)});
        ++shown;
    }
    void beginOpenSheet(const OpenPanel& panel, Completion done) override {
        waiting.append({false, {}, panel, std::move(done)});
        ++shown;
    }

    // Ends the oldest waiting sheet with a file, or nothing for Cancel.
    void answer(const std::optional<QString>& path) {
        if (waiting.isEmpty())
            return;
        Sheet sheet = waiting.takeFirst();
        sheet.done(path);
    }

    QList<Sheet> waiting;
    int shown = 0;
};

// Answers modal windows with the test's functions, in order, and records
// which windows were shown. With nothing queued a window is answered 0.
class ScriptedModalRunner final : public QRVModalRunner {
  public:
    using Answer = std::function<int(QDialog&)>;
    int runModal(QDialog& dialog) override {
        shown << dialog.objectName();
        if (m_answers.empty())
            return 0;
        Answer answer = std::move(m_answers.front());
        m_answers.pop_front();
        return answer(dialog);
    }
    void answer(Answer answer) { m_answers.push_back(std::move(answer)); }
    void answer(int code) {
        m_answers.push_back([code](QDialog&) { return code; });
    }

    QStringList shown;

  private:
    std::deque<Answer> m_answers;
};

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
