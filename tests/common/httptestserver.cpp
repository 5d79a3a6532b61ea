#include "httptestserver.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

namespace
{
constexpr int kEndlessChunkBytes = 64 * 1024;
constexpr int kOpensslTimeoutMs = 30 * 1000;

QByteArray head(const HttpTestReply &reply, bool withLength)
{
    // Clients read the code only; the reason phrase is any text.
    QByteArray text = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n" + reply.headers;
    if (withLength)
        text += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    return text + "Connection: close\r\n\r\n";
}
} // namespace

bool HttpTestServer::startTls()
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.setWorkingDirectory(dir.path());
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(QStringLiteral("openssl"),
        { "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
            "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "2", "-keyout", "key.pem",
            "-out", "cert.pem" });
    const bool made = openssl.waitForFinished(kOpensslTimeoutMs)
        && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
    auto read = [&](const char *name) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    cert = QSslCertificate(read("cert.pem"));
    key = QSslKey(read("key.pem"), QSsl::Ec);
    if (!made || cert.isNull() || key.isNull()) {
        error = QStringLiteral("openssl failed: %1 %2")
                    .arg(openssl.errorString(), QString::fromLocal8Bit(openssl.readAll()));
        return false;
    }
    tls = true;
    return listen(QHostAddress::LocalHost, 0);
}

QString HttpTestServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3").arg(tls ? "https" : "http").arg(serverPort()).arg(path);
}

void HttpTestServer::serve(
    const QString &path, const QByteArray &body, int status, const QByteArray &contentType)
{
    HttpTestReply reply;
    reply.status = status;
    reply.body = body;
    reply.headers = "Content-Type: " + contentType + "\r\n";
    setRoute(path, reply);
}

void HttpTestServer::redirect(const QString &path, const QString &location)
{
    HttpTestReply reply;
    reply.status = 302;
    reply.headers = "Location: " + location.toUtf8() + "\r\n";
    setRoute(path, reply);
}

void HttpTestServer::neverAnswer(const QString &path)
{
    HttpTestReply reply;
    reply.behaviour = HttpTestReply::NeverAnswer;
    setRoute(path, reply);
}

void HttpTestServer::incomingConnection(qintptr handle)
{
    QTcpSocket *socket = tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (auto *secure = qobject_cast<QSslSocket *>(socket)) {
        secure->setLocalCertificate(cert);
        secure->setPrivateKey(key);
        secure->startServerEncryption();
    }
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
}

void HttpTestServer::readRequest(QTcpSocket *socket)
{
    // Bytes of the request read so far live on the socket until the head is complete.
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (socket->property("answered").toBool())
        return;
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    const QString path = QString::fromLatin1(request.left(request.indexOf("\r\n")).split(' ').value(1));
    ++total;
    ++counts[path];
    HttpTestReply reply;
    reply.status = 404;
    reply.body = "no route";
    reply = routes.value(path, reply);
    QTimer::singleShot(reply.delayMs, socket, [this, socket, reply] { answer(socket, reply); });
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
        const QByteArray chunk = reply.body.repeated(kEndlessChunkBytes / reply.body.size() + 1);
        socket->write(head(reply, false));
        // Keep a little queued so the client always has more to read, never piling up memory here.
        auto feed = [socket, chunk] {
            if (socket->state() == QAbstractSocket::ConnectedState
                && socket->bytesToWrite() < 2 * chunk.size())
                socket->write(chunk);
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, feed);
        feed();
        break;
    }
    }
}
