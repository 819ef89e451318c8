#include "telemetry/TLMHttpClient.h"

#include "telemetry/TLMHttpLogging.h"
#include "telemetry/TLMHttpUtil.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>

namespace qrv {

std::shared_ptr<TLMHttpClient> TLMHttpClient::create(std::shared_ptr<SerialQueue> queue,
                                                     std::shared_ptr<TLMReachability> reachability,
                                                     int maxConnectionsPerHost) {
    std::shared_ptr<TLMHttpClient> client(
        new TLMHttpClient(std::move(queue), std::move(reachability), maxConnectionsPerHost));
    client->onQueue([](TLMHttpClient& self) { self.startMonitoringNetwork(); });
    return client;
}

TLMHttpClient::TLMHttpClient(std::shared_ptr<SerialQueue> queue,
                             std::shared_ptr<TLMReachability> reachability,
                             int maxConnectionsPerHost)
    : m_queue(std::move(queue))
    , m_reachability(std::move(reachability))
    , m_maxConnectionsPerHost(std::max(0, maxConnectionsPerHost)) {}

TLMHttpClient::~TLMHttpClient() {
    m_reachability->stop();
    // The last owner may be a reply's own completion, so the manager (and
    // the replies it owns) go once that has returned.
    if (m_session)
        m_session->deleteLater();
}

void TLMHttpClient::onQueue(std::function<void(TLMHttpClient&)> work) {
    if (QThread::currentThread() == m_queue->thread()) {
        work(*this);
        return;
    }
    m_queue->async([weak = weak_from_this(), work = std::move(work)] {
        if (auto self = weak.lock())
            work(*self);
    });
}

std::shared_ptr<const TLMHttpCall>
TLMHttpClient::sendAsync(const QUrl& url, const QString& method, const TLMHttpHeaders& headers,
                         const QByteArray& data, const QList<int>& retryIntervalsSeconds,
                         bool compressionEnabled, TLMHttpCompletion completion) {
    if (!m_enabled) {
        if (completion)
            completion({}, std::nullopt, TLMHttpError::serviceDisabled());
        return nullptr;
    }
    auto call = std::make_shared<TLMHttpCall>(url, method, headers, data, retryIntervalsSeconds,
                                              compressionEnabled, std::move(completion));
    onQueue([call](TLMHttpClient& self) { self.sendCall(call); });
    return call;
}

void TLMHttpClient::pause() {
    onQueue([](TLMHttpClient& self) {
        if (self.m_paused)
            return;
        qCInfo(lcTelemetryHttp, "Pause HTTP client.");
        self.m_paused = true;
        for (const auto& call : std::as_const(self.m_pendingCalls))
            call->resetRetryState();
        self.m_waitingForConnection.clear();
    });
}

void TLMHttpClient::resume() {
    onQueue([](TLMHttpClient& self) {
        if (!self.m_paused || !self.m_enabled)
            return;
        qCInfo(lcTelemetryHttp, "Resume HTTP client.");
        self.m_paused = false;
        const auto calls = self.m_pendingCalls; // a completion may change the list
        for (const auto& call : calls)
            if (!call->isInProgress() && self.m_pendingCalls.contains(call))
                self.sendCall(call);
    });
}

void TLMHttpClient::setEnabled(bool enabled, bool deleteData) {
    onQueue([enabled, deleteData](TLMHttpClient& self) {
        if (enabled) {
            if (!self.m_enabled) {
                self.m_enabled = true;
                // A fresh session starts without stale connections; one with
                // requests still in flight is kept so they can finish.
                if (self.m_session && self.m_replies.isEmpty()) {
                    self.m_session->deleteLater();
                    self.m_session = nullptr;
                }
                self.startMonitoringNetwork();
            }
            return;
        }
        self.m_enabled = false;
        self.m_reachability->stop();
        self.pause();
        if (!deleteData)
            return;
        // Forget the calls before cancelling, so the cancelled requests'
        // completions find nothing to act on.
        const auto calls = std::exchange(self.m_pendingCalls, {});
        const auto replies = std::exchange(self.m_replies, {});
        self.m_waitingForConnection.clear();
        for (const auto& reply : replies)
            if (reply)
                reply->abort();
        for (const auto& call : calls) {
            call->setInProgress(false);
            call->resetRetryState();
            call->complete({}, std::nullopt, TLMHttpError::canceledWithDeletion());
        }
    });
}

void TLMHttpClient::networkStateChanged(bool reachable) {
    onQueue([reachable](TLMHttpClient& self) {
        if (reachable)
            self.resume();
        else
            self.pause();
    });
}

QList<std::shared_ptr<const TLMHttpCall>> TLMHttpClient::pendingCalls() const {
    return {m_pendingCalls.cbegin(), m_pendingCalls.cend()};
}

void TLMHttpClient::setDelegate(std::weak_ptr<TLMHttpClientDelegate> delegate) {
    std::lock_guard lock(m_delegateMutex);
    m_delegate = std::move(delegate);
}

void TLMHttpClient::startMonitoringNetwork() {
    m_reachability->start([weak = weak_from_this()](bool reachable) {
        if (auto self = weak.lock())
            self->networkStateChanged(reachable);
    });
    networkStateChanged(m_reachability->isReachable());
}

void TLMHttpClient::sendCall(const CallPtr& call) {
    if (!m_pendingCalls.contains(call))
        m_pendingCalls.append(call);
    if (m_paused || call->isInProgress())
        return; // resume() sends it
    if (!hasFreeConnection(call->url())) {
        if (!m_waitingForConnection.contains(call))
            m_waitingForConnection.append(call);
        return;
    }
    m_waitingForConnection.removeOne(call);
    startRequest(call);
}

bool TLMHttpClient::hasFreeConnection(const QUrl& url) const {
    if (m_maxConnectionsPerHost == 0)
        return true;
    int inFlight = 0;
    for (auto it = m_replies.cbegin(); it != m_replies.cend(); ++it)
        if (it.key()->url().host() == url.host() && it.key()->url().port() == url.port())
            ++inFlight;
    return inFlight < m_maxConnectionsPerHost;
}

void TLMHttpClient::startRequest(const CallPtr& call) {
    std::shared_ptr<TLMHttpClientDelegate> delegate;
    {
        std::lock_guard lock(m_delegateMutex);
        delegate = m_delegate.lock();
    }
    if (delegate)
        delegate->willSendHTTPRequest(call->url(), call->headers());
    QNetworkRequest request(call->url());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setTransferTimeout(kTransferTimeoutMs);
    const TLMHttpHeaders& headers = call->headers();
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        request.setRawHeader(it.key().toUtf8(), it.value().toUtf8());

    call->setInProgress(true);
    QNetworkReply* reply =
        session().sendCustomRequest(request, call->method().toUtf8(), call->data());
    m_replies.insert(call.get(), reply);
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [weak = weak_from_this(), call, reply] {
                         reply->deleteLater();
                         if (auto self = weak.lock())
                             self->requestCompleted(call, reply);
                     });
}

void TLMHttpClient::requestCompleted(const CallPtr& call, QNetworkReply* reply) {
    call->setInProgress(false);
    m_replies.remove(call.get());
    if (m_pendingCalls.contains(call))
        handleReply(call, reply);
    sendCallsWaitingForConnection();
}

void TLMHttpClient::handleReply(const CallPtr& call, QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QByteArray body = reply->readAll();
    if (!status.isValid() && reply->error() != QNetworkReply::NoError) {
        // Requests we cancel ourselves have ended before; a cancelled one that
        // is still pending ran into the transfer timeout.
        const auto code = reply->error() == QNetworkReply::OperationCanceledError
                              ? QNetworkReply::TimeoutError
                              : reply->error();
        const TLMHttpError error{QString::fromLatin1(kTLMNetworkErrorDomain), int(code),
                                 reply->errorString()};
        call->setLastFailure(TLMHttpUtil::failureDescription(std::nullopt, error));
        const bool offline = TLMHttpUtil::isNoInternetConnectionError(error);
        if (offline || TLMHttpUtil::isSSLConnectionError(error)) {
            call->resetRetryState();
            qCWarning(lcTelemetryHttp, "HTTP call failed with error: %s",
                      offline ? "Internet connection is down."
                              : "Could not establish secure connection.");
            return;
        }
        qCWarning(lcTelemetryHttp, "HTTP request error with code: %d, domain: %s, description: %s",
                  error.code, qPrintable(error.domain), qPrintable(error.description));
        if (TLMHttpUtil::isServerUnavailableError(error))
            retryOrEnd(call, body, std::nullopt, error);
        else
            endCall(call, body, std::nullopt, error);
        return;
    }

    const TLMHttpResponse response{status.toInt(), reply->rawHeaderPairs()};
    if (TLMHttpUtil::isRecoverableError(response.statusCode)) {
        call->setLastFailure(TLMHttpUtil::failureDescription(response, std::nullopt));
        retryOrEnd(call, body, response, std::nullopt);
        return;
    }
    if (!TLMHttpUtil::isSuccessStatusCode(response.statusCode))
        qCWarning(lcTelemetryHttp, "HTTP call failed with status %d.", response.statusCode);
    endCall(call, body, response, std::nullopt);
}

// A recoverable failure: tried again after the call's next interval, and
// once those are used up the call ends with it and the client pauses.
void TLMHttpClient::retryOrEnd(const CallPtr& call, const QByteArray& data,
                               const std::optional<TLMHttpResponse>& response,
                               const std::optional<TLMHttpError>& error) {
    if (call->hasRetriesLeft()) {
        scheduleRetry(call, response);
        return;
    }
    qCWarning(lcTelemetryHttp, "HTTP call failed with %s after %d retries.",
              qPrintable(response ? QStringLiteral("status %1").arg(response->statusCode)
                                  : error->description),
              call->retryCount());
    pause();
    endCall(call, data, response, error);
}

void TLMHttpClient::scheduleRetry(const CallPtr& call,
                                  const std::optional<TLMHttpResponse>& response) {
    std::optional<qint64> retryAfter;
    bool isNumber = false;
    const qint64 asked =
        response ? response->header(QStringLiteral("x-retry-after-ms")).toLongLong(&isNumber) : 0;
    if (isNumber && asked >= 0)
        retryAfter = asked;
    const Millis delay = call->nextRetryDelay(retryAfter);
    qCInfo(lcTelemetryHttp, "HTTP call failed with status %d; retry %d of %d in %lld ms.",
           response ? response->statusCode : 0, call->retryCount() + 1,
           int(call->retryIntervals().size()), qint64(delay.count()));
    call->startRetryTimer(*m_queue, delay, [weak = weak_from_this(), call] {
        auto self = weak.lock();
        if (self && self->m_pendingCalls.contains(call))
            self->sendCall(call);
    });
}

void TLMHttpClient::endCall(const CallPtr& call, const QByteArray& data,
                            const std::optional<TLMHttpResponse>& response,
                            const std::optional<TLMHttpError>& error) {
    m_pendingCalls.removeOne(call);
    m_waitingForConnection.removeOne(call);
    call->resetRetryState();
    call->complete(data, response, error);
}

void TLMHttpClient::sendCallsWaitingForConnection() {
    const auto waiting = m_waitingForConnection;
    for (const auto& call : waiting)
        if (m_pendingCalls.contains(call))
            sendCall(call);
}

QNetworkAccessManager& TLMHttpClient::session() {
    if (!m_session)
        m_session = new QNetworkAccessManager();
    return *m_session;
}

} // namespace qrv
