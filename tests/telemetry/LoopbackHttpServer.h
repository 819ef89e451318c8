#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QUrl>
#include <utility>

namespace qrv::testing {

// A small HTTP/1.1 server on a loopback port: records every request and
// answers with the scripted responses in order (then 200 with no body).
class LoopbackHttpServer : public QObject {
  public:
    struct Request {
        QByteArray method;
        QByteArray target;                     // path and query
        QHash<QByteArray, QByteArray> headers; // lower-case names
        QByteArray body;
    };
    struct Response {
        int status = 200;
        QList<std::pair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer() override;
    // Listens on the given port (0: any free one); true when it does.
    bool listen(quint16 port = 0);
    void close() { m_server.close(); }
    quint16 port() const { return m_port; }
    QUrl baseUrl() const;

    void respondWith(Response response) { m_script << std::move(response); }
    const QList<Request>& requests() const { return m_requests; }

  private:
    void serve(QTcpSocket* socket);

    QTcpServer m_server;
    quint16 m_port = 0;
    QList<Response> m_script;
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

} // namespace qrv::testing
