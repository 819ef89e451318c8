#include "telemetry/TLMHttpCall.h"

#include "telemetry/TLMCompression.h"
#include "telemetry/TLMHttpLogging.h"
#include "telemetry/TLMHttpUtil.h"

#include <QRandomGenerator>

namespace qrv {

TLMHttpCall::TLMHttpCall(QUrl url, QString method, const TLMHttpHeaders& headers,
                         const QByteArray& data, QList<int> retryIntervalsSeconds,
                         bool compressionEnabled, TLMHttpCompletion completion)
    : m_url(std::move(url))
    , m_method(std::move(method))
    , m_headers(headers)
    , m_data(data)
    , m_retryIntervals(std::move(retryIntervalsSeconds))
    , m_completion(std::move(completion)) {
    if (compressionEnabled && data.size() >= kCompressionThreshold) {
        // Without a compressed form the body goes as it is, and without a
        // header that would make the server inflate it.
        if (auto compressed = TLMCompression::compressData(data)) {
            m_data = std::move(*compressed);
            m_headers.insert(QStringLiteral("Content-Encoding"), QStringLiteral("gzip"));
        } else {
            qCWarning(lcTelemetryHttp, "Sending the body uncompressed.");
        }
    }
    if (!m_data.isEmpty() &&
        TLMHttpUtil::headerValue(m_headers, QStringLiteral("Content-Type")).isNull())
        m_headers.insert(QStringLiteral("Content-Type"), QStringLiteral("application/json"));
}

Millis TLMHttpCall::nextRetryDelay(std::optional<qint64> retryAfterMs) const {
    if (retryAfterMs && *retryAfterMs >= 0)
        return Millis(*retryAfterMs);
    const int index = std::min<int>(m_retryCount, int(m_retryIntervals.size()) - 1);
    if (index < 0)
        return Millis(0);
    const qint64 half = qint64(m_retryIntervals[index]) * 1000 / 2;
    const qint64 random = half > 0 ? QRandomGenerator::global()->bounded(half) : 0;
    return Millis(half + random);
}

void TLMHttpCall::startRetryTimer(SerialQueue& queue, Millis delay, Task fire) {
    if (m_timer)
        m_timer->cancel();
    ++m_retryCount;
    m_timer = queue.startTimer(delay, Millis(0), std::move(fire));
}

void TLMHttpCall::resetRetryState() {
    if (m_timer)
        m_timer->cancel();
    m_timer.reset();
    m_retryCount = 0;
}

void TLMHttpCall::complete(const QByteArray& data, const std::optional<TLMHttpResponse>& response,
                           const std::optional<TLMHttpError>& error) {
    if (auto completion = std::exchange(m_completion, nullptr))
        completion(data, response, error);
}

} // namespace qrv
