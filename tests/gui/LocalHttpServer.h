#pragma once
// A small HTTP server on the loopback for the window tests, serving what a hostile or broken
// web server would: pages and pictures, a body that never ends, silence after the request, a
// body dripped one byte at a time. It notes every request line (a proxy sees "CONNECT host:port")
// and how many bytes of endless bodies it handed to the system before the client went away.

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace vantrel::test {

class LocalHttpServer {
public:
    enum class Kind { Body, Endless, Silent, Drip };
    struct Route {
        Route(Kind kind, QByteArray body = {}, QByteArray type = "text/html")
            : kind(kind), body(std::move(body)), type(std::move(type)) {}
        Kind kind;
        QByteArray body;
        QByteArray type;
    };

    LocalHttpServer() {
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) Serve(socket);
        });
        server_.listen(QHostAddress::LocalHost);
    }

    void Add(const QByteArray& path, Route route) { routes_.insert(path, std::move(route)); }
    QByteArray Url(const QByteArray& path) const {
        return "http://127.0.0.1:" + QByteArray::number(server_.serverPort()) + path;
    }
    quint16 Port() const { return server_.serverPort(); }

    QList<QByteArray> requests;  // request lines, in order
    qint64 endlessBytes = 0;     // bytes of endless bodies written to the system
    int closedByClient = 0;      // connections the client closed before the server did

private:
    // The server stops an endless body here, so that a client that never stops cannot fill the
    // machine; a client that stops must have stopped far earlier.
    static constexpr qint64 kEndlessLimit = 48 << 20;

    void Serve(QTcpSocket* socket) {
        auto* request = new QByteArray;
        QObject::connect(socket, &QObject::destroyed, [request] { delete request; });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
            if (request->contains("\r\n\r\n")) return;  // answered already
            *request += socket->readAll();
            if (!request->contains("\r\n\r\n")) return;
            const QByteArray line = request->left(request->indexOf("\r\n"));
            requests << line;
            const auto route = routes_.constFind(line.split(' ').value(1));
            if (line.startsWith("CONNECT ") || route == routes_.cend()) {
                socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
                return;
            }
            Answer(socket, *route);
        });
    }

    void Answer(QTcpSocket* socket, const Route& route) {
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: " + route.type + "\r\nConnection: close\r\n";
        switch (route.kind) {
        case Kind::Silent:
            QObject::connect(socket, &QTcpSocket::disconnected, [this] { ++closedByClient; });
            return;
        case Kind::Body:
            socket->write(head + "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n\r\n" + route.body);
            socket->disconnectFromHost();
            return;
        case Kind::Endless: {
            socket->write(head + "\r\n");
            const QByteArray chunk = QByteArray("<p>advert</p>\n").repeated(4096);
            auto more = [this, socket, chunk] {
                if (socket->bytesToWrite() > 0) return;
                if (endlessBytes >= kEndlessLimit) {
                    socket->disconnectFromHost();
                    return;
                }
                endlessBytes += socket->write(chunk);
            };
            QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
            QObject::connect(socket, &QTcpSocket::disconnected, [this] {
                if (endlessBytes < kEndlessLimit) ++closedByClient;
            });
            more();
            return;
        }
        case Kind::Drip: {
            socket->write(head + "\r\n");
            auto* timer = new QTimer(socket);
            QObject::connect(timer, &QTimer::timeout, socket, [socket] { socket->write("."); });
            QObject::connect(socket, &QTcpSocket::disconnected, [this] { ++closedByClient; });
            timer->start(50);
            return;
        }
        }
    }

    QTcpServer server_;
    QHash<QByteArray, Route> routes_;
};

}  // namespace vantrel::test
