#pragma once

#include "telemetry/TLMHttpIngestion.h"
#include "telemetry/TLMTelemetryConfig.h"

namespace qrv {

// The telemetry service's log endpoint: batches of logs as JSON, POSTed to
// "<base>/logs?api-version=1.0.0" with the installation identifier and the
// application's secret, retried after 10 s, 5 min and 20 min.
class TLMServiceIngestion final : public TLMHttpIngestion {
  public:
    static const QList<int> kRetryIntervalsSeconds;

    TLMServiceIngestion(std::shared_ptr<TLMHttpClient> client, const TLMTelemetryConfig& config,
                        const QString& installId);

    // A sound address and a known app secret.
    bool isReadyToSend() const override;

  protected:
    Result<void> checkBatch(const TLMIngestionBatch& batch) const override;
    TLMHttpHeaders requestHeaders(const TLMIngestionBatch& batch) const override;

  private:
    QString m_appSecret;
    bool m_hasValidAppSecret;
    QString m_addressProblem;
};

} // namespace qrv
