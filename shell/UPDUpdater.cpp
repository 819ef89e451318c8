#include "shell/UPDUpdater.h"

#include "platform/AlertPresenter.h"
#include "platform/MainThread.h"
#include "platform/Scheduler.h"
#include "platform/UrlOpener.h"
#include "platform/UserDefaults.h"
#include "shell/QRVModalRunner.h"
#include "shell/QRVSupportLogging.h"
#include "shell/UPDApplicationInfo.h"
#include "shell/UPDUpdateAlert.h"
#include "shell/UPDVersionComparator.h"

#include <QUrlQuery>

namespace qrv {
namespace {

const QString kAutomaticCheckKey = QStringLiteral("automaticCheck");

} // namespace

UPDUpdater::UPDUpdater(const UPDUpdaterServices& services, UPDHostBundle host, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_host(std::move(host)) {}

UPDUpdater::~UPDUpdater() {
    *m_alive = false;
    m_services.scheduler.cancelAllPerforms(this);
}

void UPDUpdater::checkForUpdates() {
    check(true);
}

void UPDUpdater::checkForUpdatesInBackground() {
    check(false);
}

bool UPDUpdater::automaticallyChecksForUpdates() const {
    return m_services.userDefaults.boolForKey(kAutomaticChecksKey);
}

void UPDUpdater::setAutomaticallyChecksForUpdates(bool on) {
    m_services.userDefaults.setBool(kAutomaticChecksKey, on);
    if (on)
        scheduleAutomaticCheck();
    else
        m_services.scheduler.cancelPerforms(this, kAutomaticCheckKey);
}

void UPDUpdater::scheduleAutomaticCheck() {
    m_services.scheduler.cancelPerforms(this, kAutomaticCheckKey);
    if (!automaticallyChecksForUpdates())
        return;
    const QDateTime last = m_services.userDefaults.objectForKey(kLastCheckTimeKey).toDateTime();
    const QDateTime now = m_services.scheduler.now();
    // A clock set back puts the last check in the future: wait a whole day.
    qint64 elapsed =
        last.isValid() ? std::max<qint64>(0, last.msecsTo(now)) : kCheckInterval.count();
    const qint64 wait = std::max<qint64>(0, kCheckInterval.count() - elapsed);
    m_services.scheduler.perform(this, kAutomaticCheckKey, Millis(wait),
                                 [this] { checkForUpdatesInBackground(); });
}

QList<std::pair<QByteArray, QByteArray>> UPDUpdater::requestHeaders() const {
    QList<std::pair<QByteArray, QByteArray>> headers = m_headers;
    if (!m_userAgent.isEmpty())
        headers.emplaceBack("User-Agent", m_userAgent.toUtf8());
    headers.emplaceBack("Accept", "application/rss+xml, application/xml, text/xml");
    return headers;
}

void UPDUpdater::check(bool userInitiated) {
    QRV_ASSERT_MAIN_THREAD();
    if (m_checking) {
        // One check at a time; the one under way answers the user.
        return;
    }
    if (!m_delegate) {
        qCWarning(lcUpdates, "No delegate names the update feed; nothing is checked.");
        return;
    }
    m_checking = true;
    m_userInitiated = userInitiated;
    QUrl feed(m_delegate->feedURLStringForUpdater(*this), QUrl::StrictMode);
    const QList<UPDFeedParameter> parameters = m_delegate->feedParametersForUpdater(*this, false);
    if (!parameters.isEmpty()) {
        QUrlQuery query(feed);
        for (const UPDFeedParameter& parameter : parameters)
            query.addQueryItem(parameter.key, parameter.value);
        feed.setQuery(query);
    }

    HttpRequest request;
    request.url = feed;
    request.headers = requestHeaders();
    request.maxResponseBytes = UPDAppcast::kMaximumBytes;
    qCInfo(lcUpdates, "Checking %s", qPrintable(feed.toString(QUrl::RemoveQuery)));
    m_services.http.send(request, [this, alive = m_alive](const HttpResponse& response) {
        if (*alive)
            feedArrived(response);
    });
}

void UPDUpdater::feedArrived(const HttpResponse& response) {
    const bool userInitiated = m_userInitiated;
    m_services.userDefaults.setObject(kLastCheckTimeKey, m_services.scheduler.now().toUTC());
    const Result<UPDAppcast> appcast =
        response.succeeded() ? UPDAppcast::parse(response.body)
                             : Result<UPDAppcast>(makeError(response.failureReason()));
    if (!appcast) {
        qCWarning(lcUpdates, "Update check failed: %s", qPrintable(appcast.error()));
        if (userInitiated)
            showAlert(Alert::Style::Warning, tr("Update Error!"),
                      tr("An error occurred in retrieving update information. Please try again "
                         "later.\n\n%1")
                          .arg(appcast.error()));
        finish();
        return;
    }

    const UPDAppcastItem* newest = appcast->newestItem();
    const bool isNewer =
        newest && UPDVersionComparator::compareVersions(newest->version, m_host.version) > 0;
    const bool skipped =
        isNewer && newest->version == m_services.userDefaults.stringForKey(kSkippedVersionKey);
    if (isNewer && (userInitiated || !skipped)) {
        // The dialog stays ours until the notes are in and the user answered.
        fetchNotesAndOffer(*newest);
        return;
    }
    if (userInitiated)
        showAlert(Alert::Style::Informational, tr("You're up to date!"),
                  tr("%1 %2 is currently the newest version available.")
                      .arg(m_host.name, m_host.shortVersion));
    finish();
}

void UPDUpdater::fetchNotesAndOffer(const UPDAppcastItem& item) {
    if (item.releaseNotesLink.isEmpty()) {
        offer(item, item.itemDescription);
        return;
    }
    HttpRequest request;
    request.url = item.releaseNotesLink;
    request.headers = requestHeaders();
    request.maxResponseBytes = 1024 * 1024;
    m_services.http.send(request, [this, alive = m_alive, item](const HttpResponse& response) {
        if (!*alive)
            return;
        QString notes;
        if (response.succeeded())
            notes = QString::fromUtf8(response.body);
        else
            notes = item.itemDescription.isEmpty()
                        ? tr("<p>The release notes could not be loaded: %1</p>")
                              .arg(response.failureReason().toHtmlEscaped())
                        : item.itemDescription;
        offer(item, notes);
    });
}

void UPDUpdater::offer(const UPDAppcastItem& item, const QString& notes) {
    UPDUpdateAlert alert(m_host.name, m_host.shortVersion, item, notes,
                         UPDApplicationInfo::bestIconForHost(m_host.infoDictionary));
    switch (m_services.modal.runModal(alert)) {
    case UPDUpdateAlert::Download:
        if (!m_services.urlOpener.openUrl(item.enclosureUrl))
            qCWarning(lcUpdates, "Could not open %s", qPrintable(item.enclosureUrl.toString()));
        break;
    case UPDUpdateAlert::SkipVersion:
        m_services.userDefaults.setObject(kSkippedVersionKey, item.version);
        break;
    default:
        break;
    }
    finish();
}

void UPDUpdater::finish() {
    m_checking = false;
    if (m_userInitiated && !m_services.userDefaults.objectForKey(kAutomaticChecksKey).isValid())
        askAboutAutomaticChecks();
    scheduleAutomaticCheck();
    emit checkFinished();
}

AlertResponse UPDUpdater::showAlert(Alert::Style style, const QString& message,
                                    const QString& information,
                                    const QList<Alert::Button>& buttons) {
    Alert alert;
    alert.style = style;
    alert.messageText = message;
    alert.informativeText = information;
    alert.buttons = buttons;
    return m_services.alerts.runModal(alert);
}

void UPDUpdater::askAboutAutomaticChecks() {
    const AlertResponse answer = showAlert(
        Alert::Style::Informational, tr("Check for updates automatically?"),
        tr("Should %1 automatically check for updates once a day? You can always check for "
           "updates manually from the %1 menu.")
            .arg(m_host.name),
        {{tr("Check Automatically"), QStringLiteral("\r")},
         {tr("Don't Check"), QStringLiteral("\x1b")}});
    m_services.userDefaults.setBool(kAutomaticChecksKey, answer.index() == 0);
}

} // namespace qrv
