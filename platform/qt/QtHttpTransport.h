#pragma once

#include "platform/HttpTransport.h"

#include <QObject>

class QNetworkAccessManager;

namespace qrv {

class Scheduler;

// HttpTransport over QtNetwork on the main thread. No caches, no cookies, no
// redirect from HTTPS to plain HTTP; a request that gets no byte for its
// timeout, or whose answer grows past its limit, is aborted with a reason.
class QtHttpTransport final : public QObject, public HttpTransport {
    Q_OBJECT
  public:
    // The scheduler delivers the refusal of an address that may not be used.
    explicit QtHttpTransport(Scheduler& scheduler, QObject* parent = nullptr);
    ~QtHttpTransport() override;

    void send(const HttpRequest& request,
              std::function<void(const HttpResponse&)> completion) override;

  private:
    Scheduler& m_scheduler;
    QNetworkAccessManager* m_manager;
};

} // namespace qrv
