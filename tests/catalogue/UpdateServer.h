#pragma once

#include "support/TestData.h"

#include <QFile>
#include <QHash>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

#include <sys/socket.h>

namespace vbu::test {

// A small HTTP/1.1 server on 127.0.0.1 for the update check: answers GET requests from a table
// of routes, one request per connection. With tls, it speaks HTTPS with the certificate in
// tests/data/catalogue/tls, which clients trust only when given that folder's ca.pem.
class UpdateServer final
{
public:
    struct Route
    {
        enum Kind {
            Answer,  // status, headers and body, with a Content-Length unless the headers name one
            Hold,    // reads the request and never answers
            Unsized, // as Answer, without a Content-Length: the body ends when the connection does
        };
        int status = 200;
        QByteArray body{};
        QByteArrayList headers{}; // "Name: value"
        Kind kind = Answer;
        std::function<void()> onRequest{}; // runs when the request has arrived
        qsizetype cut = -1;                // sends only this many bytes of the body, then ends
        bool reset = false;                // ends the connection with a reset instead of a close
    };

    explicit UpdateServer(bool tls = false) : m_tls(tls)
    {
        if (tls) {
            QSslConfiguration config;
            QFile key(dataPath(QStringLiteral("catalogue/tls/server.key")));
            key.open(QIODevice::ReadOnly);
            config.setPrivateKey(QSslKey(&key, QSsl::Ec));
            config.setLocalCertificateChain(
                QSslCertificate::fromPath(dataPath(QStringLiteral("catalogue/tls/server.pem"))));
            m_ssl.setSslConfiguration(config);
        }
        // A TLS connection is handed over once its handshake is done.
        QObject::connect(&server(), &QTcpServer::pendingConnectionAvailable, &server(), [this] {
            while (QTcpSocket *socket = server().nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
            }
        });
        server().listen(QHostAddress::LocalHost, 0);
    }

    // http://127.0.0.1:<port> (or https) followed by path.
    QUrl url(const QString &path = {})
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                        .arg(QLatin1StringView(m_tls ? "https" : "http"))
                        .arg(server().serverPort())
                        .arg(path));
    }
    void route(const QByteArray &path, const Route &route) { m_routes.insert(path, route); }
    void answer(const QByteArray &path, const QByteArray &body) { route(path, {200, body}); }

    // A port on 127.0.0.1 that nothing listens on.
    static quint16 deadPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    // Request paths in the order they came.
    QByteArrayList requests;

private:
    QTcpServer &server() { return m_tls ? m_ssl : m_plain; }

    // Once the request's head is in, whatever follows is not read.
    void read(QTcpSocket *socket)
    {
        const QByteArray request = socket->peek(socket->bytesAvailable());
        if (!request.contains("\r\n\r\n"))
            return;
        QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
        const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1); // "GET /path HTTP/1.1"
        requests.append(path);
        const Route route = m_routes.value(path, Route{404, "no such document"});
        if (route.onRequest)
            route.onRequest();
        if (route.kind == Route::Hold)
            return;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) +
                          (route.status == 404 ? " Not Found" : " Status") + "\r\nConnection: close\r\n";
        for (const QByteArray &header : route.headers)
            head += header + "\r\n";
        if (route.kind == Route::Answer && !head.contains("Content-Length:"))
            head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
        socket->write(head + "\r\n" + (route.cut < 0 ? route.body : route.body.first(route.cut)));
        if (!route.reset)
            return socket->disconnectFromHost();
        // The bytes go out first; closing with a zero linger time then sends RST.
        socket->flush();
        const linger now{1, 0};
        ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
        socket->abort();
    }

    bool m_tls;
    QTcpServer m_plain;
    QSslServer m_ssl;
    QHash<QByteArray, Route> m_routes;
};

} // namespace vbu::test
