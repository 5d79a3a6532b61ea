#ifndef HTTPTESTSERVER_H
#define HTTPTESTSERVER_H

#include <QByteArray>
#include <QHash>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

// How a route answers. Every connection carries one request and is closed after the answer.
struct HttpTestReply
{
    enum Behaviour {
        Answer, // status line, headers, Content-Length, the whole body, then close
        NeverAnswer, // keep the connection open and send nothing
        CutMidBody, // announce the whole body, send cutAfter bytes of it, drop the connection
        StallMidBody, // announce the whole body, send cutAfter bytes of it, then nothing more
        EndlessBody, // no length; repeat the body for as long as the client reads
    };

    int status = 200;
    QByteArray headers; // extra header lines, each ending in "\r\n"
    QByteArray body;
    Behaviour behaviour = Answer;
    int cutAfter = 0; // CutMidBody and StallMidBody
    int delayMs = 0; // wait this long before answering
};

// A small HTTP/1.1 server on 127.0.0.1 for tests, answering from a route table
// (the path as sent, query included). A path without a route gets 404.
class HttpTestServer : public QTcpServer
{
    Q_OBJECT

public:
    ~HttpTestServer() override { close(); }

    bool start() { return listen(QHostAddress::LocalHost, 0); }
    // Serves TLS with a throw-away self-signed certificate for 127.0.0.1, made by
    // the openssl tool; false with errorString() where that fails.
    bool startTls();
    QSslCertificate certificate() const { return cert; }
    QString errorString() const { return error; }

    // "http://127.0.0.1:<port><path>" ("https://" when serving TLS).
    QString url(const QString &path = QStringLiteral("/")) const;

    void setRoute(const QString &path, const HttpTestReply &reply) { routes.insert(path, reply); }
    void serve(const QString &path, const QByteArray &body, int status = 200,
        const QByteArray &contentType = "text/html; charset=utf-8");
    // The location may be a path on this server or a whole address.
    void redirect(const QString &path, const QString &location);
    void neverAnswer(const QString &path);

    int requestCount(const QString &path) const { return counts.value(path); }
    int requestCount() const { return total; }

protected:
    void incomingConnection(qintptr handle) override;

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const HttpTestReply &reply);

    QHash<QString, HttpTestReply> routes;
    QHash<QString, int> counts;
    int total = 0;
    bool tls = false;
    QSslCertificate cert;
    QSslKey key;
    QString error;
};

#endif
