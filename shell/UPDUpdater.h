#pragma once

#include "platform/AlertPresenter.h"
#include "platform/HttpTransport.h"
#include "shell/UPDAppcast.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace qrv {

class QRVModalRunner;
class Scheduler;
class UPDUpdater;
class UrlOpener;
class UserDefaults;

// One extra parameter of the feed request (added to its query).
struct UPDFeedParameter {
    QString key;
    QString displayKey;
    QString value;
    QString displayValue;
};

// Asked at every check, on the main thread.
class UPDUpdaterDelegate {
  public:
    virtual ~UPDUpdaterDelegate() = default;
    virtual QString feedURLStringForUpdater(UPDUpdater& updater) = 0;
    // May change the updater's headers for this check.
    virtual QList<UPDFeedParameter> feedParametersForUpdater(UPDUpdater& updater,
                                                             bool sendingSystemProfile) = 0;
};

struct UPDUpdaterServices {
    UserDefaults& userDefaults;
    Scheduler& scheduler;
    AlertPresenter& alerts;
    HttpTransport& http;
    UrlOpener& urlOpener;
    QRVModalRunner& modal;
};

// The program this updater keeps up to date.
struct UPDHostBundle {
    QString name;               // CFBundleName
    QString version;            // CFBundleVersion, compared with the feed's versions
    QString shortVersion;       // CFBundleShortVersionString
    QVariantMap infoDictionary; // for the icon the updater's windows show
};

// Software updates: reads the feed the delegate names, compares its newest
// release with the running one and tells the user ("You're up to date", or
// the new version with its notes: skip it, later, or download it). Checks
// the user starts report every outcome; automatic checks, once a day while
// the user allows them, speak up only for a release not skipped.
class UPDUpdater : public QObject {
    Q_OBJECT
  public:
    static inline const QString kSkippedVersionKey = QStringLiteral("UPDSkippedVersion");
    static inline const QString kAutomaticChecksKey = QStringLiteral("UPDAutomaticallyChecks");
    static inline const QString kLastCheckTimeKey = QStringLiteral("UPDLastCheckTime");
    // The updater's own version (its bundle's CFBundleVersion).
    static inline const QString kUpdaterBundleVersion = QStringLiteral("2000");
    static constexpr Millis kCheckInterval = Millis(24 * 60 * 60 * 1000);

    UPDUpdater(const UPDUpdaterServices& services, UPDHostBundle host, QObject* parent = nullptr);
    ~UPDUpdater() override;

    void setDelegate(UPDUpdaterDelegate* delegate) { m_delegate = delegate; }
    UPDUpdaterDelegate* delegate() const { return m_delegate; }
    QString updaterBundleVersion() const { return kUpdaterBundleVersion; }
    void setUserAgentString(const QString& userAgent) { m_userAgent = userAgent; }
    const QString& userAgentString() const { return m_userAgent; }
    const QList<std::pair<QByteArray, QByteArray>>& httpHeaders() const { return m_headers; }
    void setHttpHeaders(QList<std::pair<QByteArray, QByteArray>> headers) {
        m_headers = std::move(headers);
    }

    // A check the user asked for.
    void checkForUpdates();
    // A check nobody waits for.
    void checkForUpdatesInBackground();
    bool isChecking() const { return m_checking; }

    // Off until the user allows them once (asked after their first check).
    bool automaticallyChecksForUpdates() const;
    void setAutomaticallyChecksForUpdates(bool on);
    // Plans the next automatic check (a day after the last check).
    void scheduleAutomaticCheck();

  signals:
    // A check ended (for tests and for the menu's state).
    void checkFinished();

  private:
    void check(bool userInitiated);
    void feedArrived(const HttpResponse& response);
    void offer(const UPDAppcastItem& item, const QString& notes);
    void fetchNotesAndOffer(const UPDAppcastItem& item);
    void finish();
    void askAboutAutomaticChecks();
    AlertResponse showAlert(Alert::Style style, const QString& message, const QString& information,
                            const QList<Alert::Button>& buttons = {});
    QList<std::pair<QByteArray, QByteArray>> requestHeaders() const;

    UPDUpdaterServices m_services;
    UPDHostBundle m_host;
    UPDUpdaterDelegate* m_delegate = nullptr;
    QString m_userAgent;
    QList<std::pair<QByteArray, QByteArray>> m_headers;
    bool m_checking = false;
    bool m_userInitiated = false;
    // Answers that arrive after the updater is gone find this false.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace qrv
