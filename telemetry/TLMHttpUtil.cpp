#include "telemetry/TLMHttpUtil.h"

#include <QCoreApplication>
#include <QNetworkReply>

namespace qrv {
namespace {

constexpr qsizetype kVisibleSecretCharacters = 4;

QString tr(const char* text) {
    return QCoreApplication::translate("TLMHttpUtil", text);
}

bool isNetworkError(const TLMHttpError& error) {
    return error.domain == QLatin1String(kTLMNetworkErrorDomain);
}

} // namespace

bool TLMHttpUtil::isRecoverableError(int statusCode) {
    return statusCode > 499 || statusCode == 408 || statusCode == 429 || statusCode == 0;
}

bool TLMHttpUtil::isSuccessStatusCode(int statusCode) {
    return statusCode >= 200 && statusCode <= 299;
}

bool TLMHttpUtil::isNoInternetConnectionError(const TLMHttpError& error) {
    if (!isNetworkError(error))
        return false;
    // Only errors that say this machine has no way out: a server that
    // refuses, hangs up or does not answer is reachable and failing, and a
    // network change would never come to wake the call.
    switch (QNetworkReply::NetworkError(error.code)) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

bool TLMHttpUtil::isServerUnavailableError(const TLMHttpError& error) {
    if (!isNetworkError(error))
        return false;
    switch (QNetworkReply::NetworkError(error.code)) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyNotFoundError:
    case QNetworkReply::ProxyTimeoutError:
        return true;
    default:
        return false;
    }
}

bool TLMHttpUtil::isSSLConnectionError(const TLMHttpError& error) {
    return isNetworkError(error) && error.code == QNetworkReply::SslHandshakeFailedError;
}

QString TLMHttpUtil::failureDescription(const std::optional<TLMHttpResponse>& response,
                                        const std::optional<TLMHttpError>& error) {
    if (response && !error)
        return QStringLiteral("HTTP %1").arg(response->statusCode);
    if (!error)
        return {};
    if (isNetworkError(*error)) {
        switch (QNetworkReply::NetworkError(error->code)) {
        case QNetworkReply::ConnectionRefusedError:
            return tr("connection refused");
        case QNetworkReply::RemoteHostClosedError:
            return tr("connection closed by the server");
        case QNetworkReply::TimeoutError:
            return tr("no answer in time");
        case QNetworkReply::HostNotFoundError:
            return tr("host not found");
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyConnectionClosedError:
        case QNetworkReply::ProxyNotFoundError:
        case QNetworkReply::ProxyTimeoutError:
            return tr("the proxy failed: %1").arg(error->description);
        case QNetworkReply::SslHandshakeFailedError:
            return tr("no secure connection: %1").arg(error->description);
        default:
            break;
        }
    }
    return error->description;
}

QString TLMHttpUtil::hideSecret(const QString& secret) {
    // A short secret would be given away by its tail, so it is hidden whole.
    const qsizetype hidden = secret.size() > 2 * kVisibleSecretCharacters
                                 ? secret.size() - kVisibleSecretCharacters
                                 : secret.size();
    return QString(hidden, u'*') + secret.mid(hidden);
}

QString TLMHttpUtil::hideSecretInString(const QString& string, const QString& secret) {
    if (secret.isEmpty())
        return string;
    return QString(string).replace(secret, hideSecret(secret));
}

QString TLMHttpUtil::headerValue(const TLMHttpHeaders& headers, const QString& name) {
    for (auto it = headers.cbegin(); it != headers.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.value();
    return {};
}

} // namespace qrv
