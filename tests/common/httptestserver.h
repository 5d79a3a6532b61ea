#ifndef HTTPTESTSERVER_H
#define HTTPTESTSERVER_H

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// How a route answers; one request per connection. Answer: status, headers, length and body,
// then close. CutMidBody and StallMidBody announce the whole body but send cutAfter bytes of
// it, then close or go silent. EndlessBody repeats the body, without a length, while the client reads.
struct HttpTestReply
{
    enum Behaviour { Answer, NeverAnswer, CutMidBody, StallMidBody, EndlessBody };
    int status = 200;
    QByteArray headers; // whole lines, each ending in "\r\n"
    QByteArray body;
    Behaviour behaviour = Answer;
    int cutAfter = 0;
    int delayMs = 0;
};

// A request as it came: the target with its query, the head (request line and headers) and
// the body of its Content-Length.
struct HttpTestRequest
{
    QString target;
    QByteArray head;
    QByteArray body;
};

// A small HTTP/1.1 server on 127.0.0.1 answering from a route table (the path as sent, or
// without its query); a path without a route gets 404. Every request is kept.
class HttpTestServer : public QTcpServer
{
public:
    HttpTestServer() { listen(QHostAddress::LocalHost); }
    QString url(const QString &path = {}) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    void route(const QString &path, const HttpTestReply &reply) { routes.insert(path, reply); }
    void serve(const QString &path, const QByteArray &body, int status = 200)
    {
        route(path, { status, {}, body });
    }
    void redirect(const QString &path, const QString &to)
    {
        route(path, { 302, "Location: " + to.toUtf8() + "\r\n" });
    }
    int requestCount(const QString &path) const { return counts.value(path); }
    QList<HttpTestRequest> requests;

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
            socket->setProperty("head", head);
            const int end = head.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray lower = head.left(end).toLower();
            const int at = lower.indexOf("\r\ncontent-length:");
            const int bodySize = at < 0 ? 0 : lower.mid(at + 17).split('\r').value(0).trimmed().toInt();
            if (head.size() < end + 4 + bodySize)
                return;
            socket->disconnect(this);
            const QString path = QString::fromLatin1(head.split(' ').value(1));
            ++counts[path];
            requests.append({ path, head.left(end), head.mid(end + 4, bodySize) });
            const HttpTestReply reply
                = routes.value(path, routes.value(path.section('?', 0, 0), { 404, {}, "no route" }));
            QTimer::singleShot(reply.delayMs, socket, [socket, reply] { answer(socket, reply); });
        });
    }

private:
    static void answer(QTcpSocket *socket, const HttpTestReply &r)
    {
        using R = HttpTestReply;
        if (r.behaviour == R::NeverAnswer)
            return;
        const QByteArray head
            = "HTTP/1.1 " + QByteArray::number(r.status) + " X\r\nConnection: close\r\n" + r.headers;
        if (r.behaviour == R::EndlessBody) { // kept a little ahead of the client, so nothing piles up here
            const QByteArray chunk = r.body.repeated(65536 / r.body.size() + 1);
            auto feed = [socket, chunk] {
                if (socket->bytesToWrite() < chunk.size())
                    socket->write(chunk);
            };
            socket->write(head + "\r\n");
            connect(socket, &QTcpSocket::bytesWritten, socket, feed);
            feed();
            return;
        }
        const bool part = r.behaviour == R::CutMidBody || r.behaviour == R::StallMidBody;
        socket->write(head + "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n\r\n"
            + r.body.left(part ? r.cutAfter : r.body.size()));
        if (r.behaviour != R::StallMidBody)
            socket->disconnectFromHost();
    }

    QHash<QString, HttpTestReply> routes;
    QHash<QString, int> counts;
};

#endif
