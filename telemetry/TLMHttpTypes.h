#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

namespace qrv {

// Request headers by name. Names are compared without regard to case where
// it matters (see TLMHttpUtil::headerValue).
using TLMHttpHeaders = QMap<QString, QString>;

// The part of a server's answer the upload looks at.
struct TLMHttpResponse {
    int statusCode = 0;
    QList<std::pair<QByteArray, QByteArray>> headers;

    // The value of a header (names compared without regard to case), or a null string.
    QString header(const QString& name) const;
};

inline constexpr auto kTLMErrorDomain = "TelemetryErrorDomain";
// Errors reported by the network layer; their codes are QNetworkReply::NetworkError values.
inline constexpr auto kTLMNetworkErrorDomain = "NetworkErrorDomain";

enum TLMErrorCode {
    TLMErrorInvalidContainer = 1,
    TLMErrorNotReady = 2,
    TLMErrorServiceDisabled = 3,
    // The service answered a batch with a failure status.
    TLMErrorHttpStatus = 4,
    TLMErrorCanceledWithDeletion = 100,
};

struct TLMHttpError {
    QString domain;
    int code = 0;
    QString description;

    static TLMHttpError telemetry(TLMErrorCode code, QString description);
    static TLMHttpError serviceDisabled();
    static TLMHttpError canceledWithDeletion();
    static TLMHttpError httpStatus(int statusCode);
};

// Called once per call, on the client's queue, with the body that came back,
// the response when the server answered and the error when the request failed.
using TLMHttpCompletion =
    std::function<void(const QByteArray& data, const std::optional<TLMHttpResponse>& response,
                       const std::optional<TLMHttpError>& error)>;

} // namespace qrv
