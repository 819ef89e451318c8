#pragma once

#include "shell/QRVConsoleLog.h"
#include "shell/QRVCrashReportConfirmation.h"
#include "shell/QRVServiceHosts.h"
#include "shell/QRVSystemVersion.h"
#include "shell/UPDUpdater.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace qrv {

class AlertPresenter;
class HttpTransport;
class PreferenceStore;
class QRVModalRunner;
class RepliesIO;
class Scheduler;
class SystemLog;
class UrlOpener;
class UserDefaults;

struct AppSupportServices {
    UserDefaults& userDefaults;
    PreferenceStore& preferences;
    Scheduler& scheduler;
    AlertPresenter& alerts;
    SystemLog& systemLog;
    UrlOpener& urlOpener;
    HttpTransport& http;
    QRVModalRunner& modal;
};

// Who we are and where our services are.
struct AppSupportIdentity {
    QString bundleName;       // CFBundleName
    QString bundleIdentifier; // our preference domain
    QString shortVersion;     // CFBundleShortVersionString
    QString bundleVersion;    // CFBundleVersion
    QString processName;      // whose console log is read
    QStringList preferredLocalizations;
    QString preferencesHome;
    QRVSystemVersion systemVersion;
    QRVServiceHosts hosts;
    QString telemetryAppSecret;
    QString supportFormIdentifier;

    // Ours, with the hosts the environment names.
    static AppSupportIdentity standard(const QString& preferencesHome);
};

// The application delegate's links to the outside for help and maintenance:
// crash-report consent, the console log, support requests and web pages,
// and software updates. The delegate owns one and forwards its actions.
// Main thread only.
class QRVAppSupport : public QObject, public UPDUpdaterDelegate {
    Q_OBJECT
  public:
    static inline const QString kUpdateUUIDKey = QStringLiteral("UPDUpdateUUID");
    static inline const QString kMajorVersionStringKey = QStringLiteral("UPDMajorVersionString");
    static inline const QString kFeedURLKey = QStringLiteral("UPDFeedURL");
    static inline const QString kLogMessageKey = QStringLiteral("crashReporterLogMessage");
    static inline const QString kNewsletterPage =
        QStringLiteral("https://www.brackwyn.com/newsletter/");
    static inline const QString kSupportPage = QStringLiteral("https://www.brackwyn.com/support/");
    static inline const QString kMakerFeedPath = QStringLiteral("/menuShortcuts/updates/cast.php");
    static inline const QString kTelemetryFeedPath = QStringLiteral("/v0.1/public/updates/apps/");

    QRVAppSupport(const AppSupportServices& services, AppSupportIdentity identity,
                  QObject* parent = nullptr);
    ~QRVAppSupport() override;

    // Inside the telemetry period (the delegate's shouldUseTelemetry).
    void setTelemetryPeriodCheck(std::function<bool()> check) {
        m_insideTelemetryPeriod = std::move(check);
    }
    // Whether Option (Alt) is held now.
    void setOptionKeyCheck(std::function<bool()> check) { m_optionKeyHeld = std::move(check); }

    // ---- web pages
    void signUpForNews();
    void contactSupport();
    void showURL(const QString& address);

    // ---- support requests
    RepliesIO& sharedReplies();
    void openSupportAndFeedbackWindow();
    void attachPreferences();
    void attachConsoleLog();

    // ---- crash reports
    // The crash service's confirmation handler.
    bool handleCrashReports(const QList<TLMErrorReport>& reports);
    QString crashReporterLogContent() const {
        return m_crashConfirmation.crashReporterLogContent();
    }
    QString crashReporterName() const { return m_crashConfirmation.crashReporterName(); }
    QString crashReporterEmail() const { return m_crashConfirmation.crashReporterEmail(); }
    QString crashReporterDetails() const { return m_crashConfirmation.crashReporterDetails(); }
    // What goes with the reports the user agreed to send. Any thread.
    QList<TLMErrorAttachmentLogPtr> crashReportAttachments() const {
        return m_crashConfirmation.attachments();
    }
    QString crashReporterLogMessage() const;
    void setCrashReporterLogMessage(const QString& message);
    // For tests: who hears the user's answer (the crash service by default).
    void setCrashNotifier(QRVCrashReportConfirmation::Notifier notify);

    // ---- console log
    void gatherLogContent(std::function<void(const QString&)> completion) const;

    // ---- updates
    void loadUpdater();
    void checkForUpdates();
    bool shouldUseBetaUpdateFeed() const { return m_shouldUseBetaUpdateFeed; }
    UPDUpdater& sharedUpdater() { return *m_updater; }
    QString updateUUID();
    QString userAgentString() const;

    // UPDUpdaterDelegate
    QString feedURLStringForUpdater(UPDUpdater& updater) override;
    QList<UPDFeedParameter> feedParametersForUpdater(UPDUpdater& updater,
                                                     bool sendingSystemProfile) override;

  private:
    void openPage(const QUrl& url);

    AppSupportServices m_services;
    AppSupportIdentity m_identity;
    QRVConsoleLog m_consoleLog;
    QRVCrashReportConfirmation m_crashConfirmation;
    std::unique_ptr<UPDUpdater> m_updater;
    std::unique_ptr<RepliesIO> m_replies;
    std::function<bool()> m_insideTelemetryPeriod;
    std::function<bool()> m_optionKeyHeld;
    bool m_shouldUseBetaUpdateFeed = false;
};

} // namespace qrv
