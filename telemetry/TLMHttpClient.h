#pragma once

#include "platform/Scheduler.h"
#include "telemetry/TLMHttpCall.h"
#include "telemetry/TLMReachability.h"

#include <QHash>
#include <QPointer>
#include <atomic>
#include <memory>
#include <mutex>

class QNetworkAccessManager;
class QNetworkReply;

namespace qrv {

// Told before every request leaves, e.g. to log it (with its secrets masked).
class TLMHttpClientDelegate {
  public:
    virtual ~TLMHttpClientDelegate() = default;
    virtual void willSendHTTPRequest(const QUrl& url, const TLMHttpHeaders& headers) = 0;
};

// Sends calls and sees them through: a call stays pending while the network
// is down, is retried after recoverable answers with growing delays, and ends
// once with success, a final answer or its last recoverable answer (which
// also pauses the client until the network changes).
//
// The client lives on a serial queue: its state, its network manager and its
// retry timers belong to the queue's thread. Calls from other threads hand
// over to the queue; completion handlers run on it.
class TLMHttpClient : public std::enable_shared_from_this<TLMHttpClient> {
  public:
    // A request that delivers no byte for this long fails as timed out.
    static constexpr int kTransferTimeoutMs = 60'000;

    // maxConnectionsPerHost 0 leaves the number of requests in flight to one
    // host to the network layer; otherwise further calls wait for a free one.
    static std::shared_ptr<TLMHttpClient> create(std::shared_ptr<SerialQueue> queue,
                                                 std::shared_ptr<TLMReachability> reachability,
                                                 int maxConnectionsPerHost = 0);
    ~TLMHttpClient();
    TLMHttpClient(const TLMHttpClient&) = delete;
    TLMHttpClient& operator=(const TLMHttpClient&) = delete;

    // Answers the call, to be looked at on the queue while it is pending
    // (null when the client is disabled and the call ended at once).
    std::shared_ptr<const TLMHttpCall>
    sendAsync(const QUrl& url, const QString& method, const TLMHttpHeaders& headers,
              const QByteArray& data, const QList<int>& retryIntervalsSeconds,
              bool compressionEnabled, TLMHttpCompletion completion);

    void pause();
    void resume();
    // Disabling stops watching the network and pauses; with deleteData it also
    // cancels what is in flight and ends every pending call with an error.
    void setEnabled(bool enabled, bool deleteData);
    void networkStateChanged(bool reachable);

    bool isPaused() const { return m_paused; }
    bool isEnabled() const { return m_enabled; }
    // The calls not finished yet. On the queue only.
    QList<std::shared_ptr<const TLMHttpCall>> pendingCalls() const;

    // Not owned: a delegate that has gone is simply not told.
    void setDelegate(std::weak_ptr<TLMHttpClientDelegate> delegate);

  private:
    using CallPtr = std::shared_ptr<TLMHttpCall>;

    TLMHttpClient(std::shared_ptr<SerialQueue> queue, std::shared_ptr<TLMReachability> reachability,
                  int maxConnectionsPerHost);
    void onQueue(std::function<void(TLMHttpClient&)> work);
    void startMonitoringNetwork();
    void sendCall(const CallPtr& call);
    bool hasFreeConnection(const QUrl& url) const;
    void startRequest(const CallPtr& call);
    void requestCompleted(const CallPtr& call, QNetworkReply* reply);
    void handleReply(const CallPtr& call, QNetworkReply* reply);
    void retryOrEnd(const CallPtr& call, const QByteArray& data,
                    const std::optional<TLMHttpResponse>& response,
                    const std::optional<TLMHttpError>& error);
    void scheduleRetry(const CallPtr& call, const std::optional<TLMHttpResponse>& response);
    void endCall(const CallPtr& call, const QByteArray& data,
                 const std::optional<TLMHttpResponse>& response,
                 const std::optional<TLMHttpError>& error);
    void sendCallsWaitingForConnection();
    QNetworkAccessManager& session();

    std::shared_ptr<SerialQueue> m_queue;
    std::shared_ptr<TLMReachability> m_reachability;
    const int m_maxConnectionsPerHost;
    QNetworkAccessManager* m_session = nullptr;
    QList<CallPtr> m_pendingCalls;
    QList<CallPtr> m_waitingForConnection;
    QHash<TLMHttpCall*, QPointer<QNetworkReply>> m_replies;
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_enabled{true};
    std::mutex m_delegateMutex;
    std::weak_ptr<TLMHttpClientDelegate> m_delegate;
};

} // namespace qrv
