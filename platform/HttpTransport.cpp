#include "platform/HttpTransport.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace qrv {

QByteArray HttpRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString HttpResponse::failureReason() const {
    if (!error.isEmpty())
        return error;
    if (succeeded())
        return {};
    return QCoreApplication::translate("HttpTransport", "The server answered with status %1.")
        .arg(status);
}

bool HttpTransport::isAllowedUrl(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

} // namespace qrv
