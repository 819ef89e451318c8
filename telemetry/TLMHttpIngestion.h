#pragma once

#include "platform/Result.h"
#include "telemetry/TLMHttpClient.h"
#include "telemetry/TLMIngestionBatch.h"

#include <QUrl>
#include <memory>
#include <utility>

namespace qrv {

// One endpoint of a service: where batches go (base address, path and fixed
// query), how (method and fixed headers), and how often to try again.
class TLMHttpIngestion {
  public:
    using QueryItems = QList<std::pair<QString, QString>>;

    TLMHttpIngestion(std::shared_ptr<TLMHttpClient> client, const QUrl& baseUrl, QString apiPath,
                     TLMHttpHeaders httpHeaders, const QueryItems& queryStrings,
                     QList<int> retryIntervalsSeconds);
    virtual ~TLMHttpIngestion();
    TLMHttpIngestion(const TLMHttpIngestion&) = delete;
    TLMHttpIngestion& operator=(const TLMHttpIngestion&) = delete;

    // Base address, path, then "?" and the query (values percent-encoded);
    // empty when the base address is.
    const QUrl& sendURL() const { return m_sendUrl; }
    const TLMHttpHeaders& httpHeaders() const { return m_httpHeaders; }
    const QList<int>& retryIntervals() const { return m_retryIntervals; }
    TLMHttpClient& client() const { return *m_client; }

    virtual bool isReadyToSend() const { return !m_sendUrl.isEmpty(); }
    bool isEnabled() const { return m_client->isEnabled(); }
    void setEnabled(bool enabled, bool deleteData) { m_client->setEnabled(enabled, deleteData); }
    void pause() { m_client->pause(); }
    void resume() { m_client->resume(); }

    // POSTs the batch and answers its call (see TLMHttpClient::sendAsync). A
    // disabled endpoint, or a batch it refuses, answers at once with an error
    // in the "TelemetryErrorDomain" (and no call).
    std::shared_ptr<const TLMHttpCall> sendAsync(const TLMIngestionBatch& batch,
                                                 TLMHttpCompletion completion);

  protected:
    virtual Result<void> checkBatch(const TLMIngestionBatch& batch) const;
    // The fixed headers plus what belongs to this one request.
    virtual TLMHttpHeaders requestHeaders(const TLMIngestionBatch& batch) const;
    // Keeps the secret out of the logged requests.
    void maskInLogs(const QString& secret);

  private:
    class RequestLogger;

    std::shared_ptr<TLMHttpClient> m_client;
    TLMHttpHeaders m_httpHeaders;
    QList<int> m_retryIntervals;
    QUrl m_sendUrl;
    // The client's delegate: it may outlive this object for the length of
    // a call the client is making, so it holds no pointer back to us.
    std::shared_ptr<RequestLogger> m_requestLogger;
};

} // namespace qrv
