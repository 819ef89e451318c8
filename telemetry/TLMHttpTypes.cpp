#include "telemetry/TLMHttpTypes.h"

namespace qrv {

QString TLMHttpResponse::header(const QString& name) const {
    const QByteArray wanted = name.toLatin1();
    for (const auto& [key, value] : headers)
        if (key.compare(wanted, Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(value);
    return {};
}

TLMHttpError TLMHttpError::telemetry(TLMErrorCode code, QString description) {
    return TLMHttpError{QString::fromLatin1(kTLMErrorDomain), code, std::move(description)};
}

TLMHttpError TLMHttpError::serviceDisabled() {
    return telemetry(TLMErrorServiceDisabled, QStringLiteral("The service is disabled."));
}

TLMHttpError TLMHttpError::canceledWithDeletion() {
    return telemetry(TLMErrorCanceledWithDeletion,
                     QStringLiteral("Canceled, connection paused with log deletion."));
}

TLMHttpError TLMHttpError::httpStatus(int statusCode) {
    return telemetry(TLMErrorHttpStatus,
                     QStringLiteral("The service answered with HTTP status %1.").arg(statusCode));
}

} // namespace qrv
