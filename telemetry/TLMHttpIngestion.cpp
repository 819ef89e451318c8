#include "telemetry/TLMHttpIngestion.h"

#include "telemetry/TLMHttpLogging.h"
#include "telemetry/TLMHttpUtil.h"

#include <mutex>

namespace qrv {
namespace {

QUrl buildSendUrl(QUrl url, const QString& apiPath, const TLMHttpIngestion::QueryItems& query) {
    if (url.isEmpty())
        return {};
    QString path = url.path();
    if (path.endsWith(u'/') && apiPath.startsWith(u'/'))
        path.chop(1);
    url.setPath(path + apiPath);
    QStringList items;
    for (const auto& [name, value] : query)
        items << QString::fromLatin1(QUrl::toPercentEncoding(name) + '=' +
                                     QUrl::toPercentEncoding(value));
    if (!items.isEmpty())
        url.setQuery(items.join(u'&'), QUrl::StrictMode);
    return url;
}

} // namespace

// Logs each request the client sends, with the endpoint's secrets masked.
class TLMHttpIngestion::RequestLogger final : public TLMHttpClientDelegate {
  public:
    void maskInLogs(const QString& secret) {
        std::lock_guard lock(m_mutex);
        m_secrets << secret;
    }

    void willSendHTTPRequest(const QUrl& url, const TLMHttpHeaders& headers) override {
        QStringList lines;
        for (auto it = headers.cbegin(); it != headers.cend(); ++it)
            lines << QStringLiteral("%1 = %2").arg(it.key(), it.value());
        QString text =
            QStringLiteral("URL: %1\nHeaders:\n\t%2").arg(url.toString(), lines.join(u"\n\t"));
        {
            std::lock_guard lock(m_mutex);
            for (const QString& secret : std::as_const(m_secrets))
                text = TLMHttpUtil::hideSecretInString(text, secret);
        }
        qCDebug(lcTelemetryHttp).noquote() << text;
    }

  private:
    std::mutex m_mutex;
    QStringList m_secrets;
};

TLMHttpIngestion::TLMHttpIngestion(std::shared_ptr<TLMHttpClient> client, const QUrl& baseUrl,
                                   QString apiPath, TLMHttpHeaders httpHeaders,
                                   const QueryItems& queryStrings, QList<int> retryIntervalsSeconds)
    : m_client(std::move(client))
    , m_httpHeaders(std::move(httpHeaders))
    , m_retryIntervals(std::move(retryIntervalsSeconds))
    , m_sendUrl(buildSendUrl(baseUrl, apiPath, queryStrings))
    , m_requestLogger(std::make_shared<RequestLogger>()) {
    m_client->setDelegate(m_requestLogger);
}

TLMHttpIngestion::~TLMHttpIngestion() = default;

void TLMHttpIngestion::maskInLogs(const QString& secret) {
    m_requestLogger->maskInLogs(secret);
}

std::shared_ptr<const TLMHttpCall> TLMHttpIngestion::sendAsync(const TLMIngestionBatch& batch,
                                                               TLMHttpCompletion completion) {
    auto refuse = [&](const TLMHttpError& error) -> std::shared_ptr<const TLMHttpCall> {
        qCWarning(lcTelemetryHttp, "Batch %s not sent: %s", qPrintable(batch.batchId),
                  qPrintable(error.description));
        if (completion)
            completion({}, std::nullopt, error);
        return nullptr;
    };
    if (!isEnabled())
        return refuse(TLMHttpError::serviceDisabled());
    if (auto checked = checkBatch(batch); !checked)
        return refuse(TLMHttpError::telemetry(
            isReadyToSend() ? TLMErrorInvalidContainer : TLMErrorNotReady, checked.error()));
    return m_client->sendAsync(m_sendUrl, QStringLiteral("POST"), requestHeaders(batch), batch.json,
                               m_retryIntervals, true, std::move(completion));
}

Result<void> TLMHttpIngestion::checkBatch(const TLMIngestionBatch&) const {
    if (!isReadyToSend())
        return makeError(QStringLiteral("The endpoint has no address."));
    return success();
}

TLMHttpHeaders TLMHttpIngestion::requestHeaders(const TLMIngestionBatch&) const {
    return m_httpHeaders;
}

} // namespace qrv
