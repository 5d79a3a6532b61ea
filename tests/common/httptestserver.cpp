#include "httptestserver.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

namespace
{
const char *const kRequestEnd = "\r\n\r\n";
// Requests here are a line and a few headers; anything longer is not one of ours.
constexpr int kMaxRequestBytes = 64 * 1024;
constexpr int kEndlessChunkBytes = 64 * 1024;
constexpr int kOpensslTimeoutMs = 30 * 1000;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 307:
        return "Temporary Redirect";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray head(const HttpTestReply &reply, bool withLength)
{
    QByteArray text
        = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    for (const auto &header : reply.headers)
        text += header.first + ": " + header.second + "\r\n";
    if (withLength)
        text += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    text += "Connection: close\r\n\r\n";
    return text;
}

// The openssl configuration for a test authority and a loopback server certificate.
const char *const kOpensslConfig = "[req]\n"
                                   "distinguished_name = dn\n"
                                   "prompt = no\n"
                                   "[dn]\n"
                                   "CN = netcheck test\n"
                                   "[authority]\n"
                                   "basicConstraints = critical, CA:TRUE\n"
                                   "keyUsage = critical, keyCertSign, cRLSign\n"
                                   "subjectKeyIdentifier = hash\n"
                                   "[server]\n"
                                   "basicConstraints = CA:FALSE\n"
                                   "keyUsage = critical, digitalSignature, keyEncipherment\n"
                                   "extendedKeyUsage = serverAuth\n"
                                   "subjectAltName = IP:127.0.0.1, DNS:localhost\n"
                                   "authorityKeyIdentifier = keyid\n";
} // namespace

bool TestCertificates::create()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString config = dir.filePath(QStringLiteral("openssl.cnf"));
    {
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly) || file.write(kOpensslConfig) < 0) {
            error = QStringLiteral("cannot write the openssl configuration");
            return false;
        }
    }
    const QStringList ecKey = { QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes") };
    const QList<QStringList> steps = {
        QStringList { "req", "-x509", "-config", config, "-extensions", "authority", "-subj",
            "/CN=netcheck test authority", "-days", "2", "-keyout", "ca.key", "-out", "ca.pem" }
            + ecKey,
        QStringList { "req", "-new", "-config", config, "-subj", "/CN=127.0.0.1", "-keyout", "server.key",
            "-out", "server.csr" }
            + ecKey,
        QStringList { "x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-set_serial",
            "2", "-days", "2", "-extfile", config, "-extensions", "server", "-out", "server.pem" },
    };
    for (const QStringList &args : steps) {
        QProcess openssl;
        openssl.setWorkingDirectory(dir.path());
        openssl.setProcessChannelMode(QProcess::MergedChannels);
        openssl.start(QStringLiteral("openssl"), args);
        if (!openssl.waitForFinished(kOpensslTimeoutMs) || openssl.exitStatus() != QProcess::NormalExit
            || openssl.exitCode() != 0) {
            error = QStringLiteral("openssl %1 failed: %2 %3")
                        .arg(args.first(), openssl.errorString(), QString::fromLocal8Bit(openssl.readAll()));
            return false;
        }
    }
    auto read = [&](const char *name) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    ca = QSslCertificate(read("ca.pem"));
    server = QSslCertificate(read("server.pem"));
    serverKey = QSslKey(read("server.key"), QSsl::Ec);
    if (ca.isNull() || server.isNull() || serverKey.isNull()) {
        error = QStringLiteral("the made certificates do not load");
        return false;
    }
    return true;
}

ScopedTrustedAuthority::ScopedTrustedAuthority(const QSslCertificate &authority)
    : previous(QSslConfiguration::defaultConfiguration())
{
    QSslConfiguration trusting = previous;
    trusting.addCaCertificate(authority);
    QSslConfiguration::setDefaultConfiguration(trusting);
}

ScopedTrustedAuthority::~ScopedTrustedAuthority()
{
    QSslConfiguration::setDefaultConfiguration(previous);
}

HttpTestServer::HttpTestServer(QObject *parent)
    : QTcpServer(parent)
{
}

HttpTestServer::~HttpTestServer()
{
    close();
}

bool HttpTestServer::start()
{
    tls = false;
    return listen(QHostAddress::LocalHost, 0);
}

bool HttpTestServer::startTls(const TestCertificates &certificates)
{
    tls = true;
    certificate = certificates.certificate();
    key = certificates.key();
    return !certificate.isNull() && !key.isNull() && listen(QHostAddress::LocalHost, 0);
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(serverPort())
        .arg(path);
}

void HttpTestServer::setRoute(const QString &path, const HttpTestReply &reply)
{
    routes.insert(path, reply);
}

void HttpTestServer::serve(
    const QString &path, const QByteArray &body, int status, const QByteArray &contentType)
{
    HttpTestReply reply;
    reply.status = status;
    reply.body = body;
    reply.headers.append({ "Content-Type", contentType });
    setRoute(path, reply);
}

void HttpTestServer::redirect(const QString &path, const QString &location, int status)
{
    HttpTestReply reply;
    reply.status = status;
    reply.headers.append({ "Location", location.toUtf8() });
    setRoute(path, reply);
}

void HttpTestServer::neverAnswer(const QString &path)
{
    HttpTestReply reply;
    reply.behaviour = HttpTestReply::NeverAnswer;
    setRoute(path, reply);
}

int HttpTestServer::openConnections() const
{
    int open = 0;
    for (const QTcpSocket *socket : findChildren<QTcpSocket *>())
        open += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    return open;
}

void HttpTestServer::incomingConnection(qintptr handle)
{
    QTcpSocket *socket = nullptr;
    if (tls) {
        auto *secure = new QSslSocket(this);
        if (!secure->setSocketDescriptor(handle)) {
            delete secure;
            return;
        }
        secure->setLocalCertificate(certificate);
        secure->setPrivateKey(key);
        // An untrusting client hangs up during the handshake; nothing to answer then.
        connect(secure, QOverload<const QList<QSslError> &>::of(&QSslSocket::sslErrors), secure,
            [secure] { secure->ignoreSslErrors(); });
        secure->startServerEncryption();
        socket = secure;
    } else {
        socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(handle)) {
            delete socket;
            return;
        }
    }
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void HttpTestServer::readRequest(QTcpSocket *socket)
{
    // Bytes of the request read so far live on the socket until the head is complete.
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (socket->property("answered").toBool())
        return;
    const int end = request.indexOf(kRequestEnd);
    if (end < 0) {
        if (request.size() > kMaxRequestBytes)
            socket->abort();
        else
            socket->setProperty("request", request);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString path = words.size() >= 2 ? QString::fromLatin1(words.at(1)) : QString();
    requested.append(path);
    counts[path] += 1;
    emit requestReceived(path);

    HttpTestReply reply;
    if (routes.contains(path)) {
        reply = routes.value(path);
    } else {
        reply.status = 404;
        reply.body = "no route";
    }
    if (reply.delayMs > 0)
        QTimer::singleShot(reply.delayMs, socket, [this, socket, reply] { answer(socket, reply); });
    else
        answer(socket, reply);
}

void HttpTestServer::answer(QTcpSocket *socket, const HttpTestReply &reply)
{
    switch (reply.behaviour) {
    case HttpTestReply::Answer:
        socket->write(head(reply, true) + reply.body);
        socket->disconnectFromHost();
        break;
    case HttpTestReply::NeverAnswer:
        break;
    case HttpTestReply::CutMidBody:
        // Close once the part is out: the client sees the end before the announced length.
        socket->write(head(reply, true) + reply.body.left(reply.cutAfter));
        socket->disconnectFromHost();
        break;
    case HttpTestReply::StallMidBody:
        socket->write(head(reply, true) + reply.body.left(reply.cutAfter));
        break;
    case HttpTestReply::EndlessBody: {
        QByteArray chunk = reply.body.isEmpty() ? QByteArray("x") : reply.body;
        while (chunk.size() < kEndlessChunkBytes)
            chunk += chunk;
        socket->write(head(reply, false));
        connect(
            socket, &QTcpSocket::bytesWritten, socket, [this, socket, chunk] { feedEndless(socket, chunk); });
        feedEndless(socket, chunk);
        break;
    }
    }
}

void HttpTestServer::feedEndless(QTcpSocket *socket, const QByteArray &chunk)
{
    // Keep a little queued so the client always has more to read, never piling up memory here.
    if (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 2 * chunk.size())
        socket->write(chunk);
}
