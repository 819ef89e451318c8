#pragma once

#include "platform/Result.h"

#include <QString>
#include <QUrl>

namespace qrv {

// Where telemetry goes and the secret that identifies the application to the
// service. standard() holds the values we ship; tests make their own.
struct TLMTelemetryConfig {
    QUrl ingestionBaseUrl;
    QString appSecret;
    // Plain HTTP to this machine's loopback address, for tests' own servers.
    bool allowsLoopbackHttp = false;

    static TLMTelemetryConfig standard();

    // The base address when it is fit to send to: HTTPS, or plain HTTP to a
    // loopback address when that is allowed.
    Result<QUrl> checkedBaseUrl() const;
    // A 36-character UUID-form string.
    bool hasValidAppSecret() const;
    // The service runs on this machine (a test's or a support engineer's).
    bool targetsLoopback() const;
};

} // namespace qrv
