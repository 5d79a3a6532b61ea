#ifndef HTTPTESTSERVER_H
#define HTTPTESTSERVER_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QStringList>
#include <QTcpServer>

// A small HTTP/1.1 server on 127.0.0.1 for tests, answering from a route table.
// Every connection carries one request and is closed after the answer.
//
//   HttpTestServer server;
//   QVERIFY(server.start());                      // or startTls(certificates)
//   server.serve("/page", "<p>网页</p>");          // 200, text/html; charset=utf-8
//   server.redirect("/old", "/page");              // 302 with Location
//   server.neverAnswer("/hang");                   // accepts, reads, never answers
//   server.setRoute("/cut", reply);                // anything else, see HttpTestReply
//   httpGet(server.url("/page"));                  // "http://127.0.0.1:<port>/page"
//   QCOMPARE(server.requestCount("/page"), 1);
//
// A path without a route gets 404 with the body "no route". The path is matched
// as sent, query included. requestReceived() is emitted as each request arrives,
// before it is answered, so a test can act while a client waits.
struct HttpTestReply
{
    enum Behaviour {
        Answer, // status line, headers, Content-Length, the whole body, then close
        NeverAnswer, // keep the connection open and send nothing
        CutMidBody, // announce the whole body, send cutAfter bytes of it, drop the connection
        StallMidBody, // announce the whole body, send cutAfter bytes of it, then nothing more
        EndlessBody, // no length; repeat the body (or 'x') for as long as the client reads
    };

    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers; // extra header lines, in order
    QByteArray body;
    Behaviour behaviour = Answer;
    int cutAfter = 0; // CutMidBody and StallMidBody
    int delayMs = 0; // wait this long before answering
};

// A throw-away certificate authority and a server certificate it signed for
// 127.0.0.1 and localhost, made with the openssl tool in a temporary folder.
// create() is false, with errorString(), where the tool is missing or fails.
class TestCertificates
{
public:
    bool create();
    QString errorString() const { return error; }
    QSslCertificate authority() const { return ca; }
    QSslCertificate certificate() const { return server; }
    QSslKey key() const { return serverKey; }

private:
    QSslCertificate ca;
    QSslCertificate server;
    QSslKey serverKey;
    QString error;
};

// Trusts a certificate authority in the process's default TLS configuration for
// as long as it lives; the previous default comes back on destruction.
class ScopedTrustedAuthority
{
public:
    explicit ScopedTrustedAuthority(const QSslCertificate &authority);
    ~ScopedTrustedAuthority();
    ScopedTrustedAuthority(const ScopedTrustedAuthority &) = delete;
    ScopedTrustedAuthority &operator=(const ScopedTrustedAuthority &) = delete;

private:
    QSslConfiguration previous;
};

class HttpTestServer : public QTcpServer
{
    Q_OBJECT

public:
    explicit HttpTestServer(QObject *parent = nullptr);
    ~HttpTestServer() override;

    // Listens on 127.0.0.1 on a free port.
    bool start();
    bool startTls(const TestCertificates &certificates);

    quint16 port() const { return serverPort(); }
    // "http://127.0.0.1:<port><path>" ("https://" when serving TLS).
    QString url(const QString &path = QStringLiteral("/")) const;

    void setRoute(const QString &path, const HttpTestReply &reply);
    void serve(const QString &path, const QByteArray &body, int status = 200,
        const QByteArray &contentType = "text/html; charset=utf-8");
    // The location may be a path on this server or a whole address.
    void redirect(const QString &path, const QString &location, int status = 302);
    void neverAnswer(const QString &path);

    int requestCount(const QString &path) const { return counts.value(path); }
    int requestCount() const { return requested.size(); }
    QStringList requestedPaths() const { return requested; } // in order of arrival

    // Connections still open (never answered, stalled or streaming).
    int openConnections() const;

signals:
    void requestReceived(const QString &path);

protected:
    void incomingConnection(qintptr handle) override;

private:
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const HttpTestReply &reply);
    void feedEndless(QTcpSocket *socket, const QByteArray &chunk);

    QHash<QString, HttpTestReply> routes;
    QHash<QString, int> counts;
    QStringList requested;
    bool tls = false;
    QSslCertificate certificate;
    QSslKey key;
};

#endif
