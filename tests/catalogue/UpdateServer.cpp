#include "UpdateServer.h"

#include "support/TestData.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace vbu::test {

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

constexpr qint64 chunk = 64 * 1024;

} // namespace

UpdateServer::UpdateServer(bool tls) : m_tls(tls)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        QSslConfiguration config;
        QFile key(dataPath(u"catalogue/tls/server.key"_s));
        key.open(QIODevice::ReadOnly);
        config.setPrivateKey(QSslKey(&key, QSsl::Ec));
        config.setLocalCertificateChain(QSslCertificate::fromPath(dataPath(u"catalogue/tls/server.pem"_s)));
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        server->setSslConfiguration(config);
        m_server = std::move(server);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    // A TLS connection is handed over once its handshake is done.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection())
            serve(socket);
    });
}

UpdateServer::~UpdateServer() = default;

bool UpdateServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

QUrl UpdateServer::url(const QString &path) const
{
    return QUrl((m_tls ? u"https"_s : u"http"_s) + u"://127.0.0.1:%1"_s.arg(m_server->serverPort()) + path);
}

quint16 UpdateServer::deadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void UpdateServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket->property("answered").toBool())
            return;
        QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (head.startsWith('\x16')) {
            // A TLS handshake: this server speaks only plain HTTP.
            socket->setProperty("answered", true);
            socket->write("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n");
            socket->disconnectFromHost();
            return;
        }
        if (!head.contains("\r\n\r\n"))
            return;
        socket->setProperty("answered", true);
        // "GET /path HTTP/1.1"
        const QByteArrayList words = head.left(head.indexOf("\r\n")).split(' ');
        respond(socket, words.value(1));
    });
}

void UpdateServer::respond(QTcpSocket *socket, const QByteArray &path)
{
    requests.append(path);
    const Route route = m_routes.value(path, Route{Route::Answer, 404, "no such document", {}, true, {}});
    if (route.onRequest)
        route.onRequest();
    if (route.kind == Route::Hold)
        return;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reason(route.status) + "\r\n";
    head += "Connection: close\r\n";
    for (const QByteArray &header : route.headers)
        head += header + "\r\n";
    if (route.kind == Route::Answer && route.sendLength)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "\r\n";
    socket->write(head);

    if (route.kind == Route::Stream) {
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { feed(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { clientLeftStream = streamed < streamCap; });
        feed(socket);
        return;
    }
    socket->write(route.body);
    socket->disconnectFromHost();
}

void UpdateServer::feed(QTcpSocket *socket)
{
    // Keeps a little queued, so the stream goes only as fast as the client reads.
    static const QByteArray bytes(chunk, 'x');
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk &&
           streamed < streamCap) {
        socket->write(bytes);
        streamed += bytes.size();
    }
    if (streamed >= streamCap)
        socket->disconnectFromHost();
}

} // namespace vbu::test
