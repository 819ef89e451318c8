#pragma once

#include "platform/Scheduler.h"
#include "telemetry/TLMHttpTypes.h"

#include <QUrl>

namespace qrv {

// One request and its retry state. A call belongs to its client's queue:
// everything below is used there only, which is what serialises it.
class TLMHttpCall {
  public:
    // Bodies from this size on are sent gzip-compressed when compression is enabled.
    static constexpr qsizetype kCompressionThreshold = 1400;

    TLMHttpCall(QUrl url, QString method, const TLMHttpHeaders& headers, const QByteArray& data,
                QList<int> retryIntervalsSeconds, bool compressionEnabled,
                TLMHttpCompletion completion);

    const QUrl& url() const { return m_url; }
    const QString& method() const { return m_method; }
    const TLMHttpHeaders& headers() const { return m_headers; }
    const QByteArray& data() const { return m_data; }
    const QList<int>& retryIntervals() const { return m_retryIntervals; }

    int retryCount() const { return m_retryCount; }
    bool hasRetriesLeft() const { return m_retryCount < m_retryIntervals.size(); }
    bool isInProgress() const { return m_inProgress; }
    void setInProgress(bool inProgress) { m_inProgress = inProgress; }
    bool isWaitingForRetry() const { return m_timer && m_timer->isActive(); }

    // The delay before the next retry: what the server asked for, else between
    // half and all of the current interval.
    Millis nextRetryDelay(std::optional<qint64> retryAfterMs) const;
    // Counts the retry and runs `fire` on the queue after the delay.
    void startRetryTimer(SerialQueue& queue, Millis delay, Task fire);
    // Forgets the retries so far and cancels a waiting one.
    void resetRetryState();

    // How the last attempt failed, for people (empty before any failed).
    const QString& lastFailure() const { return m_lastFailure; }
    void setLastFailure(QString failure) { m_lastFailure = std::move(failure); }

    // Calls the completion handler; later calls do nothing.
    void complete(const QByteArray& data, const std::optional<TLMHttpResponse>& response,
                  const std::optional<TLMHttpError>& error);

  private:
    QUrl m_url;
    QString m_method;
    TLMHttpHeaders m_headers;
    QByteArray m_data;
    QList<int> m_retryIntervals;
    TLMHttpCompletion m_completion;
    int m_retryCount = 0;
    std::shared_ptr<QueueTimer> m_timer;
    bool m_inProgress = false;
    QString m_lastFailure;
};

} // namespace qrv
