#include "shell/QRVAppSupport.h"

#include "platform/AlertPresenter.h"
#include "platform/AppInfo.h"
#include "platform/MainThread.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "shell/BWCrashReporterWindowController.h"
#include "shell/QRVSupportLogging.h"
#include "shell/RepliesIO.h"
#include "shell/RepliesIOFeedbackWindow.h"
#include "shell/UPDApplicationInfo.h"
#include "telemetry/TLMTelemetryConfig.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QUrlQuery>
#include <QUuid>

namespace qrv {
namespace {

// The support service's key of our form.
constexpr auto kSupportFormIdentifier = "q7rv2n4e8k1m5p3s6t9w0x2y4z";

} // namespace

AppSupportIdentity AppSupportIdentity::standard(const QString& preferencesHome) {
    AppSupportIdentity identity;
    identity.bundleName = QString::fromLatin1(appinfo::kApplicationName);
    identity.bundleIdentifier = QString::fromLatin1(appinfo::kBundleIdentifier);
    identity.shortVersion = QString::fromLatin1(appinfo::kVersion);
    identity.bundleVersion = QString::fromLatin1(appinfo::kBuild);
    identity.processName = QCoreApplication::applicationFilePath().section(QLatin1Char('/'), -1);
    identity.preferredLocalizations = QLocale().uiLanguages();
    identity.preferencesHome = preferencesHome;
    identity.systemVersion = QRVSystemVersion::current();
    identity.hosts = QRVServiceHosts::fromEnvironment();
    identity.telemetryAppSecret = TLMTelemetryConfig::standard().appSecret;
    identity.supportFormIdentifier = QString::fromLatin1(kSupportFormIdentifier);
    return identity;
}

QRVAppSupport::QRVAppSupport(const AppSupportServices& services, AppSupportIdentity identity,
                             QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_identity(std::move(identity))
    , m_consoleLog(services.systemLog, services.scheduler, m_identity.processName)
    , m_crashConfirmation(
          [this](std::function<void(const QString&)> completion) {
              gatherLogContent(std::move(completion));
          },
          [this](QString* name, QString* email, QString* details) {
              return BWCrashReporterWindowController::requestReportName(
                  m_services.userDefaults, m_services.modal, name, email, details);
          })
    , m_updater(std::make_unique<UPDUpdater>(
          UPDUpdaterServices{services.userDefaults, services.scheduler, services.alerts,
                             services.http, services.urlOpener, services.modal},
          UPDHostBundle{m_identity.bundleName,
                        m_identity.bundleVersion,
                        m_identity.shortVersion,
                        {{QStringLiteral("CFBundleName"), m_identity.bundleName},
                         {QStringLiteral("CFBundleIconName"), m_identity.bundleIdentifier}}}))
    , m_insideTelemetryPeriod([] { return false; })
    , m_optionKeyHeld(
          [] { return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier); }) {
    installUpdaterIconReplacement();
}

QRVAppSupport::~QRVAppSupport() = default;

// ---- web pages

void QRVAppSupport::openPage(const QUrl& url) {
    QRV_ASSERT_MAIN_THREAD();
    // A page that cannot be opened is not the user's problem to hear about.
    if (!m_services.urlOpener.openUrl(url))
        qCInfo(lcSupport, "Could not open %s", qPrintable(url.toString()));
}

void QRVAppSupport::signUpForNews() {
    QRV_ASSERT_MAIN_THREAD();
    QUrl page(kNewsletterPage);
    if (!m_identity.bundleName.isEmpty()) {
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("referrer"), m_identity.bundleName);
        page.setQuery(query);
    }
    openPage(page);
}

void QRVAppSupport::contactSupport() {
    QRV_ASSERT_MAIN_THREAD();
    QUrl page(kSupportPage, QUrl::StrictMode);
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("product"), QStringLiteral("Quorvane"));
    page.setQuery(query);
    page.setFragment(QStringLiteral("contact"));
    if (!page.isValid()) {
        openSupportAndFeedbackWindow();
        return;
    }
    openPage(page);
}

void QRVAppSupport::showURL(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid() || url.scheme().isEmpty())
        return;
    openPage(url);
}

// ---- support requests

RepliesIO& QRVAppSupport::sharedReplies() {
    if (!m_replies)
        m_replies = std::make_unique<RepliesIO>(
            RepliesIOServices{m_services.http, m_services.userDefaults, m_services.alerts});
    RepliesIO& replies = *m_replies;
    replies.setAPIHost(m_identity.hosts.supportApiBase);
    replies.setFormIdentifier(m_identity.supportFormIdentifier);
    replies.setProductName(QStringLiteral("Quorvane"));
    replies.setProductVersion(m_identity.shortVersion);
    replies.setSubjectTypes({RepliesIOSubject::Question, RepliesIOSubject::Problem,
                             RepliesIOSubject::FeatureRequest, RepliesIOSubject::Other});
    replies.setSupportedLanguages(
        {QStringLiteral("en"), QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("lu")});
    auto* menu = new QMenu;
    menu->addAction(tr("Preferences"), this, &QRVAppSupport::attachPreferences);
    menu->addAction(tr("Console Log"), this, &QRVAppSupport::attachConsoleLog);
    replies.setMenu(menu);
    return replies;
}

void QRVAppSupport::openSupportAndFeedbackWindow() {
    QRV_ASSERT_MAIN_THREAD();
    sharedReplies().presentWindow();
}

void QRVAppSupport::attachPreferences() {
    if (!m_replies)
        return;
    Result<RepliesIOAttachment> attachment =
        RepliesIOAttachment::attachmentWithPreferencesForIdentifier(m_services.preferences,
                                                                    m_identity.bundleIdentifier);
    if (!attachment) {
        qCWarning(lcSupport, "%s", qPrintable(attachment.error()));
        Alert alert;
        alert.messageText = tr("The preferences could not be attached.");
        alert.informativeText = attachment.error();
        m_services.alerts.runModal(alert);
        return;
    }
    m_replies->addAttachment(*attachment);
}

void QRVAppSupport::attachConsoleLog() {
    if (!m_replies)
        return;
    // The log may come back after the support half is gone (at quit).
    gatherLogContent([self = QPointer<QRVAppSupport>(this)](const QString& content) {
        if (self && self->m_replies)
            self->m_replies->addAttachment(
                RepliesIOAttachment::attachmentWithApplicationLog(content));
    });
}

// ---- crash reports

bool QRVAppSupport::handleCrashReports(const QList<TLMErrorReport>& reports) {
    return m_crashConfirmation.handleReports(reports);
}

void QRVAppSupport::setCrashNotifier(QRVCrashReportConfirmation::Notifier notify) {
    m_crashConfirmation.setNotifier(std::move(notify));
}

QString QRVAppSupport::crashReporterLogMessage() const {
    return m_services.userDefaults.stringForKey(kLogMessageKey);
}

void QRVAppSupport::setCrashReporterLogMessage(const QString& message) {
    // The store writes through at once: nothing to synchronise afterwards.
    if (message.isNull())
        m_services.userDefaults.removeObject(kLogMessageKey);
    else
        m_services.userDefaults.setObject(kLogMessageKey, message);
}

void QRVAppSupport::gatherLogContent(std::function<void(const QString&)> completion) const {
    m_consoleLog.gatherLogContent(std::move(completion));
}

// ---- updates

QString QRVAppSupport::userAgentString() const {
    return QStringLiteral("%1/%2 (%3) Updater/%4 (KHTML, like Gecko) Version/%5 %6/%7")
        .arg(m_identity.bundleName, m_identity.shortVersion,
             operatingSystemUserAgentPart(m_identity.preferencesHome, m_identity.systemVersion),
             m_updater->updaterBundleVersion(), m_identity.shortVersion, m_identity.bundleName,
             m_identity.bundleVersion);
}

void QRVAppSupport::loadUpdater() {
    QRV_ASSERT_MAIN_THREAD();
    UPDUpdater& updater = sharedUpdater();
    updater.setDelegate(this);
    if (m_services.userDefaults.objectForKey(kFeedURLKey).isValid())
        m_services.userDefaults.removeObject(kFeedURLKey);
    updater.setUserAgentString(userAgentString());
    updater.scheduleAutomaticCheck();
}

void QRVAppSupport::checkForUpdates() {
    QRV_ASSERT_MAIN_THREAD();
    m_shouldUseBetaUpdateFeed = m_optionKeyHeld();
    sharedUpdater().checkForUpdates();
}

QString QRVAppSupport::feedURLStringForUpdater(UPDUpdater& updater) {
    Q_UNUSED(updater);
    QUrl feed;
    if (m_shouldUseBetaUpdateFeed && m_insideTelemetryPeriod()) {
        feed = m_identity.hosts.telemetryUpdateBase;
        feed.setPath(kTelemetryFeedPath + m_identity.telemetryAppSecret);
    } else {
        feed = m_identity.hosts.makerUpdateBase;
        feed.setPath(kMakerFeedPath);
    }
    return feed.toString();
}

QList<UPDFeedParameter> QRVAppSupport::feedParametersForUpdater(UPDUpdater& updater,
                                                                bool sendingSystemProfile) {
    Q_UNUSED(sendingSystemProfile);
    const QString systemVersion = m_identity.systemVersion.majorVersionString();
    const QString stored = m_services.userDefaults.stringForKey(kMajorVersionStringKey);
    if (!stored.isNull() && stored != systemVersion) {
        m_services.userDefaults.setObject(kMajorVersionStringKey, systemVersion);
        m_services.userDefaults.removeObject(UPDUpdater::kSkippedVersionKey);
    }

    auto headers = updater.httpHeaders();
    auto setHeader = [&headers](const QByteArray& name, const QString& value) {
        headers.removeIf([&name](const auto& header) {
            return header.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        headers.emplaceBack(name, value.toUtf8());
    };
    QList<UPDFeedParameter> parameters;
    const QString identifier = updateUUID();
    if (!identifier.isEmpty()) {
        setHeader("brackwyn-uuid", identifier);
        parameters.append(
            {QStringLiteral("uuid"), QStringLiteral("Update ID"), identifier, identifier});
    }
    if (!m_identity.preferredLocalizations.isEmpty())
        setHeader("accept-language", m_identity.preferredLocalizations.first().left(2).toUpper());
    updater.setHttpHeaders(headers);
    return parameters;
}

QString QRVAppSupport::updateUUID() {
    const QString stored = m_services.userDefaults.stringForKey(kUpdateUUIDKey);
    if (!stored.isEmpty())
        return stored;
    const QUuid uuid = QUuid::createUuid();
    if (uuid.isNull())
        return {};
    const QString created = uuid.toString(QUuid::WithoutBraces).toUpper();
    m_services.userDefaults.setObject(kUpdateUUIDKey, created);
    return created;
}

} // namespace qrv
