#pragma once

#include "platform/HttpTransport.h"

#include <QObject>

class QNetworkAccessManager;

namespace qrv {

// HttpTransport over QtNetwork on the main thread. No caches, no cookies, no
// redirect from HTTPS to plain HTTP; a request that gets no byte for its
// timeout, or whose answer grows past its limit, is aborted with a reason.
class QtHttpTransport final : public QObject, public HttpTransport {
    Q_OBJECT
  public:
    explicit QtHttpTransport(QObject* parent = nullptr);
    ~QtHttpTransport() override;

    void send(const HttpRequest& request,
              std::function<void(const HttpResponse&)> completion) override;

  private:
    QNetworkAccessManager* m_manager;
};

} // namespace qrv
