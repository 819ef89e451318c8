#include "shell/QRVServiceHosts.h"

#include "platform/HttpTransport.h"
#include "shell/QRVSupportLogging.h"

namespace qrv {
namespace {

constexpr auto kMakerUpdateBase = "https://updates.brackwyn.com";
constexpr auto kTelemetryUpdateBase = "https://telemetry.brackwyn.com";
constexpr auto kSupportApiBase = "https://replies.brackwyn.com";

QUrl replaced(const char* variable, const char* shipped) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty()) {
        const QUrl url = QRVServiceHosts::parseHost(value);
        if (url.isValid())
            return url;
        qCWarning(lcSupport,
                  "%s=\"%s\" is not an HTTPS host or a loopback HTTP address; "
                  "using %s.",
                  variable, qPrintable(value), shipped);
    }
    return QUrl(QString::fromLatin1(shipped));
}

} // namespace

QUrl QRVServiceHosts::parseHost(const QString& value) {
    const QString trimmed = value.trimmed();
    QUrl url = trimmed.contains(QLatin1String("://"))
                   ? QUrl(trimmed, QUrl::StrictMode)
                   : QUrl(QStringLiteral("https://") + trimmed, QUrl::StrictMode);
    // Only the host (and port) are replaced: the paths stay ours.
    if (!url.path().isEmpty() && url.path() != QLatin1String("/"))
        return {};
    if (url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
        return {};
    url.setPath(QString());
    if (!HttpTransport::isAllowedUrl(url))
        return {};
    return url;
}

QRVServiceHosts QRVServiceHosts::fromEnvironment() {
    QRVServiceHosts hosts;
    const QUrl update = replaced(kUpdateHostVariable, kMakerUpdateBase);
    hosts.makerUpdateBase = update;
    // One replacement moves both feeds: a test or staging server serves both paths.
    hosts.telemetryUpdateBase = qEnvironmentVariableIsEmpty(kUpdateHostVariable) ||
                                        update == QUrl(QString::fromLatin1(kMakerUpdateBase))
                                    ? QUrl(QString::fromLatin1(kTelemetryUpdateBase))
                                    : update;
    hosts.supportApiBase = replaced(kSupportHostVariable, kSupportApiBase);
    return hosts;
}

} // namespace qrv
