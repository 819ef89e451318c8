#include "LoopbackHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace qrv::testing {

LoopbackHttpServer::LoopbackHttpServer() {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    // The sockets go with the server, after the members their handlers use.
    for (QTcpSocket* socket : m_server.findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

bool LoopbackHttpServer::listen(quint16 port) {
    if (!m_server.listen(QHostAddress::LocalHost, port))
        return false;
    m_port = m_server.serverPort();
    return true;
}

QUrl LoopbackHttpServer::baseUrl() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

void LoopbackHttpServer::serve(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    if (buffer.startsWith(
            '\x16')) { // a TLS handshake: answer in plain text, as a misconfigured server would
        socket->write("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        return;
    }
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return;
    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                   lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length").toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return; // the rest of the body is still on its way
    request.body = buffer.mid(headerEnd + 4, length);
    m_buffers.remove(socket);
    m_requests << request;

    const Response response = m_script.isEmpty() ? Response{} : m_script.takeFirst();
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
    for (const auto& [name, value] : response.headers)
        answer += name + ": " + value + "\r\n";
    answer += "Content-Length: " + QByteArray::number(response.body.size()) +
              "\r\nConnection: close\r\n\r\n" + response.body;
    socket->write(answer);
    socket->disconnectFromHost();
}

} // namespace qrv::testing
