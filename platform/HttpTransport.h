#pragma once

#include "platform/Scheduler.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>

namespace qrv {

struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // An answer longer than this is cut off and reported as an error.
    qint64 maxResponseBytes = 4 * 1024 * 1024;
    // Without a byte for this long the request fails.
    Millis timeout = Millis(30000);

    QByteArray header(const QByteArray& name) const;
};

struct HttpResponse {
    int status = 0; // 0: no answer from the server
    QByteArray body;
    QString error; // why the request failed; empty when an answer came

    // An answer in the 2xx range.
    bool succeeded() const { return error.isEmpty() && status >= 200 && status < 300; }
    // What went wrong, in words for the user (empty after success).
    QString failureReason() const;
};

// HTTP for the program's own services (support messages, the update feed).
// Only HTTPS goes out; plain HTTP is accepted for this machine's loopback
// address alone (test servers). Main thread only; the completion comes back
// on the main thread, exactly once, and never inside send().
class HttpTransport {
  public:
    virtual ~HttpTransport() = default;
    virtual void send(const HttpRequest& request,
                      std::function<void(const HttpResponse&)> completion) = 0;

    // HTTPS, or plain HTTP to a loopback address.
    static bool isAllowedUrl(const QUrl& url);
};

} // namespace qrv
