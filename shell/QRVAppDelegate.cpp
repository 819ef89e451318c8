#include "shell/QRVAppDelegate.h"

#include "editor/QRVShortcutsViewController.h"
#include "exchange/EditRequestOpener.h"
#include "platform/AccessKit.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"
#include "shell/BWMoveApplication.h"
#include "shell/QRVAppSupport.h"
#include "shell/QRVEditRequestHandler.h"
#include "shell/QRVExchangeCommands.h"
#include "shell/QRVHelpWindowController.h"
#include "shell/QRVImportController.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNewsletterPrompt.h"
#include "shell/QRVPreferencesWindowController.h"
#include "shell/QRVTelemetryPeriod.h"
#include "shell/QRVWelcomeWindowController.h"
#include "telemetry/TLMTelemetryConfig.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcShell, "qrv.shell")

namespace qrv {
namespace {

const QString kFinishLaunchingKey = QStringLiteral("finishLaunching");
const QString kLoadUpdaterKey = QStringLiteral("loadUpdater");

QString bundleName() {
    return QString::fromLatin1(appinfo::kApplicationName);
}

} // namespace

QRVAppDelegate::QRVAppDelegate(const DesktopServices& services, const AppDelegateParts& parts,
                               QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_parts(parts)
    , m_editRequestOpener(std::make_unique<EditRequestOpener>(
          EditRequestOpener::Services{services.scheduler, services.alerts, services.workspace,
                                      m_editRequestMailbox},
          parts.supportDirectory)) {
    // Qt would end the event loop by itself; whether closing the last window
    // ends the application is ours to decide.
    m_qtQuitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(qGuiApp, &QGuiApplication::lastWindowClosed, this, [this] {
        if (applicationShouldTerminateAfterLastWindowClosed())
            terminate();
    });
    // The telemetry service's update feed is offered only while telemetry is.
    m_parts.support.setTelemetryPeriodCheck([this] { return shouldUseTelemetry(); });
}

QRVAppDelegate::~QRVAppDelegate() {
    m_services.scheduler.cancelAllPerforms(this);
    m_parts.support.setTelemetryPeriodCheck([] { return false; });
    QGuiApplication::setQuitOnLastWindowClosed(m_qtQuitOnLastWindowClosed);
    if (m_crashServiceInstalled) {
        TLMCrashes::setUserConfirmationHandler({});
        TLMCrashes::setDelegate(nullptr);
    }
}

QStringList QRVAppDelegate::filesFromArguments(const QStringList& arguments) {
    QStringList files;
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && argument == QLatin1String("--home")) {
            ++i; // its folder
        } else if (options && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            if (!argument.startsWith(QLatin1String("--home=")))
                qCWarning(lcShell, "Ignoring the unknown option \"%s\".", qPrintable(argument));
        } else {
            files << argument;
        }
    }
    return files;
}

bool QRVAppDelegate::launch(const QStringList& files) {
    QRV_ASSERT_MAIN_THREAD();
    if (!applicationWillFinishLaunching())
        return false;
    for (const QString& file : files)
        applicationOpenFile(file);
    applicationDidFinishLaunching();
    return true;
}

bool QRVAppDelegate::applicationWillFinishLaunching() {
    // Before any window: the offer to move into the Applications folder.
    BWMoveApplication move({m_parts.bundleMoveSystem, m_services.userDefaults, m_services.alerts,
                            m_services.scheduler});
    return move.moveToApplicationsFolderIfNecessary() == BWMoveApplication::Outcome::Continue;
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    QRV_ASSERT_MAIN_THREAD();
    if (shouldUseTelemetry())
        startTelemetry();
    m_mainWindowController = std::make_unique<QRVMainWindowController>(m_services);
    m_mainWindowController->setEditRequestsCheck([this] { checkEditRequests(); });
    QRVShortcutsViewController& editor = *m_mainWindowController->shortcutsViewController();
    const QRVExchangeServices exchangeServices{m_services.alerts, m_services.userDefaults,
                                               m_services.scheduler, m_services.keyboardLayout,
                                               m_parts.filePanels};
    m_exchangeCommands = std::make_unique<QRVExchangeCommands>(editor, exchangeServices);
    m_importController = std::make_unique<QRVImportController>(editor, exchangeServices);
    // Last: a request kept since the files given at start arrives now.
    m_editRequestHandler = std::make_unique<QRVEditRequestHandler>(
        editor, m_editRequestMailbox, m_services.alerts, m_services.workspace);
    connectApplicationActions();
    m_mainWindowController->showWindow();
    m_services.scheduler.perform(this, kFinishLaunchingKey, Millis(0),
                                 [this] { finishLaunching(); });
}

void QRVAppDelegate::finishLaunching() {
    const AccessKit& permissions = m_services.accessKit;
    if (!permissions.isGranted(PermissionStatus::kFullDiskAccess) ||
        !permissions.isGranted(PermissionStatus::kAssistive)) {
        if (!m_welcomeWindowController)
            m_welcomeWindowController = std::make_unique<QRVWelcomeWindowController>(
                m_services.accessKit, m_services.workspace, m_services.userDefaults,
                m_services.scheduler);
        m_welcomeWindowController->showWindow();
    }
    m_services.scheduler.perform(this, kLoadUpdaterKey, Millis(0), [this] { loadUpdater(); });
}

void QRVAppDelegate::loadUpdater() {
    m_parts.support.loadUpdater();
}

bool QRVAppDelegate::shouldUseTelemetry() const {
    return isInsideTelemetryPeriod(
        m_telemetryClock ? m_telemetryClock() : m_services.scheduler.now(), m_timeZone);
}

QList<TLMErrorAttachmentLogPtr>
QRVAppDelegate::attachmentsForErrorReport(const TLMErrorReport& report) {
    Q_UNUSED(report); // every report of a run is answered together, so all share the same files
    return m_parts.support.crashReportAttachments();
}

void QRVAppDelegate::startTelemetry() {
    m_services.userDefaults.registerDefaults({{kCrashOnExceptionsKey, true}});
    TLMCrashes::setDelegate(this);
    TLMCrashes::setUserConfirmationHandler([this](const QList<TLMErrorReport>& reports) {
        return m_parts.support.handleCrashReports(reports);
    });
    m_crashServiceInstalled = true;
    if (m_telemetryStarter)
        m_telemetryStarter(TLMTelemetryConfig::standard().appSecret, {&TLMCrashes::service});
    else
        qCWarning(lcShell, "No telemetry starter was set; crash telemetry does not run.");
}

bool QRVAppDelegate::applicationShouldTerminateAfterLastWindowClosed() const {
    // The move's own windows come and go while it runs; that is no reason to end.
    return !BWMoveApplication::isMoveInProgress();
}

bool QRVAppDelegate::applicationOpenFile(const QString& path) {
    const bool opened = openFileURL(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    if (!opened)
        qCWarning(lcShell, "Could not open \"%s\".", qPrintable(path));
    return opened;
}

void QRVAppDelegate::reopen(const QStringList& files) {
    QRV_ASSERT_MAIN_THREAD();
    for (const QString& file : files)
        applicationOpenFile(file);
    if (m_mainWindowController)
        m_mainWindowController->showWindow();
}

bool QRVAppDelegate::openFileURL(const QUrl& url) {
    // What can be told at once is answered at once; the file itself is read
    // in the background, and one that turns out unreadable is logged there.
    auto answeredNow = std::make_shared<std::optional<bool>>();
    auto calling = std::make_shared<bool>(true);
    m_editRequestOpener->openFileURL(url, [answeredNow, calling](bool read) {
        if (*calling)
            *answeredNow = read;
    });
    *calling = false;
    return answeredNow->value_or(true);
}

void QRVAppDelegate::checkEditRequests() {
    m_editRequestOpener->checkEditRequests();
}

void QRVAppDelegate::quit() {
    if (QRVNewsletterPrompt::run(m_services.alerts, m_services.userDefaults, bundleName()) ==
        QRVNewsletterPrompt::Answer::SignUp)
        signUpForNews();
    terminate();
}

void QRVAppDelegate::signUpForNews() {
    m_parts.support.signUpForNews();
}

void QRVAppDelegate::contactSupport() {
    m_parts.support.contactSupport();
}

void QRVAppDelegate::openSupportAndFeedbackWindow() {
    m_parts.support.openSupportAndFeedbackWindow();
}

void QRVAppDelegate::checkForUpdates() {
    m_parts.support.checkForUpdates();
}

void QRVAppDelegate::showPreferencesWindow() {
    if (!m_preferencesWindowController)
        m_preferencesWindowController = std::make_unique<QRVPreferencesWindowController>(
            m_services.accessKit, m_services.userDefaults, m_services.scheduler);
    m_preferencesWindowController->showWindow();
}

void QRVAppDelegate::showHelpWindow() {
    if (!m_helpWindowController)
        m_helpWindowController = std::make_unique<QRVHelpWindowController>(m_services.userDefaults,
                                                                           m_services.scheduler);
    m_helpWindowController->showWindow();
}

void QRVAppDelegate::terminate() {
    QRV_ASSERT_MAIN_THREAD();
    if (m_terminating)
        return;
    m_terminating = true;
    if (m_mainWindowController) {
        QRVShortcutsViewController* editor = m_mainWindowController->shortcutsViewController();
        if (editor->needsSaving())
            editor->saveApplicationShortcuts();
    }
    for (QRVWindowController* controller : windowControllers())
        controller->saveWindowFrame();
    applicationWillTerminate();
    emit willTerminate();
    QCoreApplication::exit(0);
}

void QRVAppDelegate::applicationWillTerminate() {}

void QRVAppDelegate::connectApplicationActions() {
    const auto& actions = m_mainWindowController->applicationActions();
    connect(actions.quit, &QAction::triggered, this, &QRVAppDelegate::quit);
    connect(actions.preferences, &QAction::triggered, this, &QRVAppDelegate::showPreferencesWindow);
    connect(actions.help, &QAction::triggered, this, &QRVAppDelegate::showHelpWindow);
    connect(actions.signUpForNews, &QAction::triggered, this, &QRVAppDelegate::signUpForNews);
    connect(actions.checkForUpdates, &QAction::triggered, this, &QRVAppDelegate::checkForUpdates);
    connect(actions.contactSupport, &QAction::triggered, this, &QRVAppDelegate::contactSupport);
    connect(actions.supportAndFeedback, &QAction::triggered, this,
            &QRVAppDelegate::openSupportAndFeedbackWindow);
}

QList<QRVWindowController*> QRVAppDelegate::windowControllers() const {
    QList<QRVWindowController*> controllers;
    for (QRVWindowController* controller :
         {static_cast<QRVWindowController*>(m_mainWindowController.get()),
          static_cast<QRVWindowController*>(m_preferencesWindowController.get()),
          static_cast<QRVWindowController*>(m_helpWindowController.get()),
          static_cast<QRVWindowController*>(m_welcomeWindowController.get())})
        if (controller)
            controllers << controller;
    return controllers;
}

} // namespace qrv
