#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>
#include <memory>

class QTcpSocket;

namespace vbu::test {

// A small HTTP/1.1 server on 127.0.0.1 for the update check: answers GET requests from a table
// of routes, one request per connection. With tls, it speaks HTTPS with the certificate in
// tests/data/catalogue/tls, which clients trust only when given that folder's ca.pem.
class UpdateServer final : public QObject
{
    Q_OBJECT

public:
    struct Route
    {
        enum Kind {
            Answer, // status, headers and body at once
            Hold,   // reads the request and never answers
            Stream  // 200 without a length, then body bytes until the client goes (or streamCap)
        };
        Kind kind = Answer;
        int status = 200;
        QByteArray body;
        QByteArrayList headers; // "Name: value"
        // Content-Length is sent unless the headers name their own.
        bool sendLength = true;
        // Runs when the request has arrived, before any answer.
        std::function<void()> onRequest;
    };

    static constexpr qint64 streamCap = 64 * 1024 * 1024;

    explicit UpdateServer(bool tls = false);
    ~UpdateServer() override;
    bool listen();
    // http://127.0.0.1:<port> (or https) followed by path.
    QUrl url(const QString &path = {}) const;
    void route(const QByteArray &path, const Route &route) { m_routes.insert(path, route); }
    void answer(const QByteArray &path, const QByteArray &body, int status = 200)
    {
        route(path, {Route::Answer, status, body, {}, true, {}});
    }

    // Request paths in the order they came.
    QByteArrayList requests;
    // Body bytes a Stream route has handed to its socket, and whether the client closed first.
    qint64 streamed = 0;
    bool clientLeftStream = false;

    // A port on 127.0.0.1 that nothing listens on.
    static quint16 deadPort();

private:
    void serve(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QByteArray &path);
    void feed(QTcpSocket *socket);

    bool m_tls;
    std::unique_ptr<QTcpServer> m_server;
    QHash<QByteArray, Route> m_routes;
};

} // namespace vbu::test
