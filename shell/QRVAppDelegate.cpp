#include "shell/QRVAppDelegate.h"

#include "editor/QRVShortcutsViewController.h"
#include "platform/AppInfo.h"
#include "platform/PermissionStatus.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"
#include "shell/BWMoveApplication.h"
#include "shell/QRVHelpWindowController.h"
#include "shell/QRVMainWindowController.h"
#include "shell/QRVNewsletterPrompt.h"
#include "shell/QRVPreferencesWindowController.h"
#include "shell/QRVTelemetryPeriod.h"
#include "shell/QRVWelcomeWindowController.h"
#include "telemetry/TLMTelemetryConfig.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrlQuery>

Q_LOGGING_CATEGORY(lcShell, "qrv.shell")

namespace qrv {
namespace {

const QString kFinishLaunchingKey = QStringLiteral("finishLaunching");
const QString kLoadUpdaterKey = QStringLiteral("loadUpdater");
const QString kUpdaterFeedUrlKey = QStringLiteral("UPDFeedURL");
constexpr auto kNewsletterPage = "https://www.brackwyn.com/newsletter/";

QString bundleName() {
    return QString::fromLatin1(appinfo::kApplicationName);
}

} // namespace

QRVAppDelegate::QRVAppDelegate(const AppDelegateServices& services,
                               QRVEditorServices editorServices, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_editorServices(std::move(editorServices)) {
    // Qt would end the event loop by itself; whether closing the last window
    // ends the application is ours to decide.
    m_qtQuitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(qGuiApp, &QGuiApplication::lastWindowClosed, this, [this] {
        if (applicationShouldTerminateAfterLastWindowClosed())
            terminate();
    });
}

QRVAppDelegate::~QRVAppDelegate() {
    m_services.scheduler.cancelAllPerforms(this);
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
    if (!applicationWillFinishLaunching())
        return false;
    for (const QString& file : files)
        applicationOpenFile(file);
    applicationDidFinishLaunching();
    return true;
}

bool QRVAppDelegate::applicationWillFinishLaunching() {
    // Before any window: the offer to move into the Applications folder.
    BWMoveApplication move({m_services.bundleMoveSystem, m_services.userDefaults, m_services.alerts,
                            m_services.scheduler});
    return move.moveToApplicationsFolderIfNecessary() == BWMoveApplication::Outcome::Continue;
}

void QRVAppDelegate::applicationDidFinishLaunching() {
    if (shouldUseTelemetry())
        startTelemetry();
    m_mainWindowController = std::make_unique<QRVMainWindowController>(
        m_editorServices, m_services.userDefaults, m_services.scheduler);
    m_mainWindowController->setEditRequestsCheck([this] { checkEditRequests(); });
    connectApplicationActions();
    m_mainWindowController->showWindow();
    m_services.scheduler.perform(this, kFinishLaunchingKey, Millis(0),
                                 [this] { finishLaunching(); });
}

void QRVAppDelegate::finishLaunching() {
    const PermissionStatus& permissions = m_services.permissions;
    if (!permissions.isGranted(PermissionStatus::kFullDiskAccess) ||
        !permissions.isGranted(PermissionStatus::kAssistive)) {
        if (!m_welcomeWindowController)
            m_welcomeWindowController = std::make_unique<QRVWelcomeWindowController>(
                m_services.permissions, m_services.userDefaults, m_services.scheduler);
        m_welcomeWindowController->showWindow();
    }
    m_services.scheduler.perform(this, kLoadUpdaterKey, Millis(0), [this] { loadUpdater(); });
}

void QRVAppDelegate::loadUpdater() {
    // A feed address stored by an earlier version must never override the
    // feed chosen for each check.
    if (m_services.userDefaults.objectForKey(kUpdaterFeedUrlKey).isValid())
        m_services.userDefaults.removeObject(kUpdaterFeedUrlKey);
    // The updater itself is prepared here once the updates part is in.
}

bool QRVAppDelegate::shouldUseTelemetry() const {
    return isInsideTelemetryPeriod(m_services.scheduler.now(), m_timeZone);
}

void QRVAppDelegate::startTelemetry() {
    m_services.userDefaults.registerDefaults({{kCrashOnExceptionsKey, true}});
    TLMCrashes::setDelegate(this);
    TLMCrashes::setUserConfirmationHandler(
        [this](const QList<TLMErrorReport>& reports) { return crashReportsAreWaiting(reports); });
    m_crashServiceInstalled = true;
    if (m_telemetryStarter)
        m_telemetryStarter(TLMTelemetryConfig::standard().appSecret, {&TLMCrashes::service});
    else
        qCWarning(lcShell, "No telemetry starter was set; crash telemetry does not run.");
}

bool QRVAppDelegate::crashReportsAreWaiting(const QList<TLMErrorReport>& reports) {
    // Reports leave this machine only with the user's consent. The dialog that
    // asks for it comes with the support part of the program; until then the
    // reports stay where they are and are offered again at the next start.
    qCInfo(lcShell, "%lld crash reports of earlier runs wait for the user's consent.",
           static_cast<long long>(reports.size()));
    return true;
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

bool QRVAppDelegate::openFileURL(const QUrl& url) {
    // Request files are read by the edit-request part of the program; until it
    // is in, no file can be opened.
    Q_UNUSED(url);
    return false;
}

void QRVAppDelegate::checkEditRequests() {
    // The edit-request folder is looked at by the edit-request part of the
    // program; until it is in, there is nothing to look at.
}

void QRVAppDelegate::quit() {
    if (QRVNewsletterPrompt::run(m_services.alerts, m_services.userDefaults, bundleName()) ==
        QRVNewsletterPrompt::Answer::SignUp)
        signUpForNews();
    terminate();
}

void QRVAppDelegate::signUpForNews() {
    QUrl page(QString::fromLatin1(kNewsletterPage));
    if (!bundleName().isEmpty()) {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("referrer"), bundleName());
        page.setQuery(query);
    }
    if (!QDesktopServices::openUrl(page))
        qCWarning(lcShell, "Could not open %s.", qPrintable(page.toString()));
}

void QRVAppDelegate::showPreferencesWindow() {
    if (!m_preferencesWindowController)
        m_preferencesWindowController = std::make_unique<QRVPreferencesWindowController>(
            m_services.permissions, m_services.userDefaults, m_services.scheduler);
    m_preferencesWindowController->showWindow();
}

void QRVAppDelegate::showHelpWindow() {
    if (!m_helpWindowController)
        m_helpWindowController = std::make_unique<QRVHelpWindowController>(m_services.userDefaults,
                                                                           m_services.scheduler);
    m_helpWindowController->showWindow();
}

void QRVAppDelegate::terminate() {
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
