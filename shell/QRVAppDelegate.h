#pragma once

#include "editor/QRVEditorServices.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMService.h"

#include <QObject>
#include <QTimeZone>
#include <QUrl>
#include <functional>
#include <memory>

namespace qrv {

class AlertPresenter;
class BundleMoveSystem;
class PermissionStatus;
class QRVHelpWindowController;
class QRVMainWindowController;
class QRVPreferencesWindowController;
class QRVWelcomeWindowController;
class QRVWindowController;
class Scheduler;
class UserDefaults;

// What the application delegate runs on.
struct AppDelegateServices {
    UserDefaults& userDefaults;
    Scheduler& scheduler;
    AlertPresenter& alerts;
    PermissionStatus& permissions;
    BundleMoveSystem& bundleMoveSystem;
};

// The application's delegate: drives start-up, owns the window controllers
// for the whole run, and decides when the application ends.
//
// Start-up takes three turns of the event loop, so the main window is on
// screen before anything else asks for the user's attention:
//   1. launch: the move check, the files given at start, crash telemetry
//      (inside its period only), the main window;
//   2. finishLaunching: the welcome window, when a permission is missing;
//   3. loadUpdater: the updater.
class QRVAppDelegate : public QObject, public TLMCrashesDelegate {
    Q_OBJECT
  public:
    static inline const QString kCrashOnExceptionsKey =
        QStringLiteral("NSApplicationCrashOnExceptions");

    // How crash telemetry is started: the composition root starts it with the
    // services it runs on (TLMTelemetry::start); tests record the call instead.
    using TelemetryStarter =
        std::function<void(const QString& appSecret, const QList<TLMServiceClass>& services)>;

    QRVAppDelegate(const AppDelegateServices& services, QRVEditorServices editorServices,
                   QObject* parent = nullptr);
    ~QRVAppDelegate() override;

    // The files named on the command line (program name and options left
    // out: "--home DIR", "--home=DIR"; "--" ends the options).
    static QStringList filesFromArguments(const QStringList& arguments);

    // The whole first turn. False when the program must end at once (the
    // move check handed over to a copy of the program).
    bool launch(const QStringList& files = {});

    bool applicationWillFinishLaunching();
    void applicationDidFinishLaunching();
    void finishLaunching();
    void loadUpdater();
    // Inside the telemetry period, as the scheduler's clock tells the time in
    // the user's time zone.
    bool shouldUseTelemetry() const;
    bool applicationShouldTerminateAfterLastWindowClosed() const;
    // A file the program was asked to open (given at start).
    bool applicationOpenFile(const QString& path);
    virtual bool openFileURL(const QUrl& url);
    // Looks at the edit requests other programs left for us.
    void checkEditRequests();

    // ---- menu actions
    // Asks about the newsletter when it is due, then ends the application.
    void quit();
    void showPreferencesWindow();
    void showHelpWindow();
    void signUpForNews();

    // Ends the application: pending edits are saved and the windows' frames
    // remembered first.
    void terminate();
    void applicationWillTerminate();

    // ---- window controllers (null until created)
    QRVMainWindowController* mainWindowController() const { return m_mainWindowController.get(); }
    QRVPreferencesWindowController* preferencesWindowController() const {
        return m_preferencesWindowController.get();
    }
    QRVHelpWindowController* helpWindowController() const { return m_helpWindowController.get(); }
    QRVWelcomeWindowController* welcomeWindowController() const {
        return m_welcomeWindowController.get();
    }

    void setTelemetryStarter(TelemetryStarter starter) { m_telemetryStarter = std::move(starter); }

    // ---- for tests
    void setTimeZone(const QTimeZone& zone) { m_timeZone = zone; }

  signals:
    // The application is about to end (after the pending edits were saved).
    void willTerminate();

  private:
    void startTelemetry();
    bool crashReportsAreWaiting(const QList<TLMErrorReport>& reports);
    void connectApplicationActions();
    QList<QRVWindowController*> windowControllers() const;

    AppDelegateServices m_services;
    QRVEditorServices m_editorServices;
    TelemetryStarter m_telemetryStarter;
    QTimeZone m_timeZone = QTimeZone::systemTimeZone();
    bool m_crashServiceInstalled = false;
    bool m_qtQuitOnLastWindowClosed = true;
    bool m_terminating = false;
    std::unique_ptr<QRVMainWindowController> m_mainWindowController;
    std::unique_ptr<QRVPreferencesWindowController> m_preferencesWindowController;
    std::unique_ptr<QRVHelpWindowController> m_helpWindowController;
    std::unique_ptr<QRVWelcomeWindowController> m_welcomeWindowController;
};

} // namespace qrv
