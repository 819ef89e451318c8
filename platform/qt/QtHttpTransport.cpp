#include "platform/qt/QtHttpTransport.h"

#include "platform/MainThread.h"
#include "platform/Scheduler.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <memory>

namespace qrv {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("HttpTransport", text);
}

// The network's words for the usual failures, so the user learns whether to
// check the connection or to try later.
QString describe(QNetworkReply::NetworkError error, const QString& detail) {
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return tr("The server could not be reached. Check your Internet connection. (%1)")
            .arg(detail);
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
        return tr("The server did not accept the connection. Please try again later. (%1)")
            .arg(detail);
    case QNetworkReply::SslHandshakeFailedError:
        return tr("A secure connection to the server could not be made. (%1)").arg(detail);
    default:
        return detail;
    }
}

} // namespace

QtHttpTransport::QtHttpTransport(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , m_scheduler(scheduler)
    , m_manager(new QNetworkAccessManager(this)) {
    m_manager->setCookieJar(nullptr);
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

QtHttpTransport::~QtHttpTransport() = default;

void QtHttpTransport::send(const HttpRequest& request,
                           std::function<void(const HttpResponse&)> completion) {
    QRV_ASSERT_MAIN_THREAD();
    if (!isAllowedUrl(request.url)) {
        // Never synchronously: callers may not be ready for their completion yet.
        const QString reason = tr("The address %1 is not a secure (HTTPS) address.")
                                   .arg(request.url.toDisplayString());
        m_scheduler.asyncMain([completion = std::move(completion), reason] {
            completion(HttpResponse{0, {}, reason});
        });
        return;
    }

    QNetworkRequest networkRequest(request.url);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                QNetworkRequest::AlwaysNetwork);
    networkRequest.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    networkRequest.setTransferTimeout(static_cast<int>(request.timeout.count()));
    for (const auto& [name, value] : request.headers)
        networkRequest.setRawHeader(name, value);

    QNetworkReply* reply =
        m_manager->sendCustomRequest(networkRequest, request.method, request.body);
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 limit = request.maxResponseBytes;
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, tooLarge, limit](qint64 received, qint64 total) {
                if (received > limit || total > limit) {
                    *tooLarge = true;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this,
            [reply, tooLarge, limit, completion = std::move(completion)] {
                reply->deleteLater();
                HttpResponse response;
                response.status =
                    reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                if (*tooLarge) {
                    response.error = tr("The server's answer is larger than %1 bytes.").arg(limit);
                } else if (reply->error() == QNetworkReply::OperationCanceledError) {
                    response.error = tr("The server did not answer in time.");
                } else if (response.status == 0 && reply->error() != QNetworkReply::NoError) {
                    response.error = describe(reply->error(), reply->errorString());
                } else {
                    response.body = reply->readAll();
                }
                completion(response);
            });
}

} // namespace qrv
