#include "telemetry/TLMTelemetryConfig.h"

#include <QHostAddress>
#include <QUuid>

namespace qrv {
namespace {

constexpr auto kIngestionBaseUrl = "https://telemetry.brackwyn.com";
constexpr auto kAppSecret = "6f1c9a2e-4b7d-4e35-9a0c-3d58b21f7e64";

bool isLoopbackHost(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

TLMTelemetryConfig TLMTelemetryConfig::standard() {
    return TLMTelemetryConfig{QUrl(QString::fromLatin1(kIngestionBaseUrl)),
                              QString::fromLatin1(kAppSecret), false};
}

Result<QUrl> TLMTelemetryConfig::checkedBaseUrl() const {
    const QUrl& url = ingestionBaseUrl;
    if (!url.isValid() || url.host().isEmpty())
        return makeError(QStringLiteral("The telemetry address \"%1\" is not a valid address.")
                             .arg(url.toString()));
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return url;
    if (scheme == QLatin1String("http") && allowsLoopbackHttp && isLoopbackHost(url.host()))
        return url;
    return makeError(
        QStringLiteral("The telemetry address \"%1\" is not secure; only HTTPS is allowed.")
            .arg(url.toString()));
}

bool TLMTelemetryConfig::hasValidAppSecret() const {
    return appSecret.size() == 36 && !QUuid::fromString(appSecret).isNull();
}

bool TLMTelemetryConfig::targetsLoopback() const {
    return isLoopbackHost(ingestionBaseUrl.host());
}

} // namespace qrv
