#include "telemetry/TLMServiceIngestion.h"

#include "telemetry/TLMHttpLogging.h"
#include "telemetry/TLMHttpUtil.h"

namespace qrv {
namespace {

const auto kAppSecretHeader = QStringLiteral("App-Secret");

QUrl usableBaseUrl(const Result<QUrl>& checked) {
    if (checked)
        return *checked;
    qCWarning(lcTelemetryHttp, "%s", qPrintable(checked.error()));
    return {};
}

} // namespace

const QList<int> TLMServiceIngestion::kRetryIntervalsSeconds{10, 5 * 60, 20 * 60};

TLMServiceIngestion::TLMServiceIngestion(std::shared_ptr<TLMHttpClient> client,
                                         const TLMTelemetryConfig& config, const QString& installId)
    : TLMHttpIngestion(
          std::move(client), usableBaseUrl(config.checkedBaseUrl()), QStringLiteral("/logs"),
          TLMHttpHeaders{{QStringLiteral("Content-Type"), QStringLiteral("application/json")},
                         {QStringLiteral("Install-ID"), installId}},
          {{QStringLiteral("api-version"), QStringLiteral("1.0.0")}}, kRetryIntervalsSeconds)
    , m_appSecret(config.appSecret)
    , m_hasValidAppSecret(config.hasValidAppSecret()) {
    if (auto checked = config.checkedBaseUrl(); !checked)
        m_addressProblem = checked.error();
    maskInLogs(m_appSecret);
}

bool TLMServiceIngestion::isReadyToSend() const {
    return m_hasValidAppSecret && TLMHttpIngestion::isReadyToSend();
}

Result<void> TLMServiceIngestion::checkBatch(const TLMIngestionBatch& batch) const {
    if (!m_addressProblem.isEmpty())
        return makeError(m_addressProblem);
    if (!m_hasValidAppSecret)
        return makeError(QStringLiteral("The app secret is not known."));
    if (!batch.isValid())
        return makeError(QStringLiteral("Invalid log container."));
    return success();
}

TLMHttpHeaders TLMServiceIngestion::requestHeaders(const TLMIngestionBatch& batch) const {
    TLMHttpHeaders headers = TLMHttpIngestion::requestHeaders(batch);
    headers.insert(kAppSecretHeader, m_appSecret);
    return headers;
}

} // namespace qrv
