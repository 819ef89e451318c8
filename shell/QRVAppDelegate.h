#pragma once

#include "exchange/EditRequestMailbox.h"
#include "platform/Services.h"
#include "telemetry/TLMCrashes.h"
#include "telemetry/TLMService.h"

#include <QObject>
#include <QTimeZone>
#include <QUrl>
#include <functional>
#include <memory>

namespace qrv {

class BundleMoveSystem;
class EditRequestOpener;
class QRVAppSupport;
class QRVEditRequestHandler;
class QRVExchangeCommands;
class QRVFilePanels;
class QRVImportController;
class QRVHelpWindowController;
class QRVMainWindowController;
class QRVPreferencesWindowController;
class QRVWelcomeWindowController;
class QRVWindowController;

// What the application delegate runs on besides the program's services.
struct AppDelegateParts {
    // What the offer to move into the Applications folder works on.
    BundleMoveSystem& bundleMoveSystem;
    // Crash reports, support, web pages and updates.
    QRVAppSupport& support;
    QRVFilePanels& filePanels;
    // The program's support folder, links resolved (menuShortcutsSupportDirectory);
    // edit requests arrive in its folder "EditRequests". Empty when it could not
    // be made: no requests are looked for then.
    QString supportDirectory;
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

    QRVAppDelegate(const DesktopServices& services, const AppDelegateParts& parts,
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
    // A later start of the program handed over its files: they are opened and
    // the main window comes forward.
    void reopen(const QStringList& files);
    // Opens an exchange file: a request is read in the background and handed
    // to the editor. False when the address is no local file of the exchange
    // type, or the file cannot be read as a JSON object (the reading may
    // answer that only later; it is then logged).
    virtual bool openFileURL(const QUrl& url);
    // Looks at the edit requests other programs left for us.
    void checkEditRequests();

    // ---- menu actions
    // Asks about the newsletter when it is due, then ends the application.
    void quit();
    void showPreferencesWindow();
    void showHelpWindow();
    void signUpForNews();
    void contactSupport();
    void openSupportAndFeedbackWindow();
    void checkForUpdates();

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

    // TLMCrashesDelegate: the console log and the user's words go with the
    // reports the user agreed to send. Called on the crash service's queue.
    QList<TLMErrorAttachmentLogPtr>
    attachmentsForErrorReport(const TLMErrorReport& report) override;

    // ---- exchange files and edit requests
    EditRequestMailbox& editRequestMailbox() { return m_editRequestMailbox; }
    EditRequestOpener& editRequestOpener() const { return *m_editRequestOpener; }
    // With the main window (null before it).
    QRVEditRequestHandler* editRequestHandler() const { return m_editRequestHandler.get(); }
    QRVExchangeCommands* exchangeCommands() const { return m_exchangeCommands.get(); }
    QRVImportController* importController() const { return m_importController.get(); }

    void setTelemetryStarter(TelemetryStarter starter) { m_telemetryStarter = std::move(starter); }

    // ---- for tests
    void setTimeZone(const QTimeZone& zone) { m_timeZone = zone; }
    // The moment the telemetry period is judged by (the scheduler's clock by default).
    void setTelemetryClock(std::function<QDateTime()> clock) {
        m_telemetryClock = std::move(clock);
    }

  signals:
    // The application is about to end (after the pending edits were saved).
    void willTerminate();

  private:
    void startTelemetry();
    void connectApplicationActions();
    QList<QRVWindowController*> windowControllers() const;

    DesktopServices m_services;
    AppDelegateParts m_parts;
    TelemetryStarter m_telemetryStarter;
    std::function<QDateTime()> m_telemetryClock;
    QTimeZone m_timeZone = QTimeZone::systemTimeZone();
    bool m_crashServiceInstalled = false;
    bool m_qtQuitOnLastWindowClosed = true;
    bool m_terminating = false;
    std::unique_ptr<QRVMainWindowController> m_mainWindowController;
    std::unique_ptr<QRVPreferencesWindowController> m_preferencesWindowController;
    std::unique_ptr<QRVHelpWindowController> m_helpWindowController;
    std::unique_ptr<QRVWelcomeWindowController> m_welcomeWindowController;
    // Declared after the main window's controller, whose editor they work on,
    // so that they go first.
    EditRequestMailbox m_editRequestMailbox;
    std::unique_ptr<EditRequestOpener> m_editRequestOpener;
    std::unique_ptr<QRVEditRequestHandler> m_editRequestHandler;
    std::unique_ptr<QRVExchangeCommands> m_exchangeCommands;
    std::unique_ptr<QRVImportController> m_importController;
};

} // namespace qrv
