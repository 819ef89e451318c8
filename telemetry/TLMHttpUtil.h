#pragma once

#include "telemetry/TLMHttpTypes.h"

namespace qrv {

// How the upload reads answers and errors, and how it keeps secrets out of logs.
class TLMHttpUtil {
  public:
    // Worth trying again later: no status at all, a timeout, throttling or a server failure.
    static bool isRecoverableError(int statusCode);
    static bool isSuccessStatusCode(int statusCode);
    // The network is down or the host out of reach: the call waits for the network.
    static bool isNoInternetConnectionError(const TLMHttpError& error);
    // The server (or proxy) refused, closed or did not answer: recoverable
    // like a 5xx, retried after the call's intervals.
    static bool isServerUnavailableError(const TLMHttpError& error);
    static bool isSSLConnectionError(const TLMHttpError& error);
    // A short account of a failed attempt for people ("connection refused",
    // "HTTP 503"), from the answer when there was one, else from the error.
    static QString failureDescription(const std::optional<TLMHttpResponse>& response,
                                      const std::optional<TLMHttpError>& error);

    // The secret with all but its last four characters replaced by '*' (all of
    // it when it is too short to show any).
    static QString hideSecret(const QString& secret);
    // The string with every occurrence of the secret masked.
    static QString hideSecretInString(const QString& string, const QString& secret);

    // The value of a header, names compared without regard to case; null when absent.
    static QString headerValue(const TLMHttpHeaders& headers, const QString& name);
};

} // namespace qrv
