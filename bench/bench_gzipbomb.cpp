// Peak memory of one httpDownload: a plain 16 MiB body (the cap) as the baseline, and a
// gzip bomb (1 MiB on the wire, 1 GiB inflated). The server runs in this process, each
// download in a child process that resets its peak first and prints what it rose by.
#include "gzip.h"
#include "probe/webfetch.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <zlib.h>

namespace
{
constexpr qint64 kBombInflatedBytes = 1LL << 30;
constexpr int kChildTimeoutMs = 5 * 60 * 1000;

long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

int fetchInChild(const QString &address)
{
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return 1;
    reset.close();
    const long before = statusKiB("VmHWM:");
    const HttpDownload download = httpDownload(address);
    std::printf("kept %d bytes (capped %d), peak rose by %ld MiB\n", int(download.body.size()),
        int(download.capped), (statusKiB("VmHWM:") - before) / 1024);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1)
        return fetchInChild(QString::fromLocal8Bit(argv[1]));

    const QByteArray plain(kHttpMaxBodyBytes, 'x');
    const QByteArray bomb = gzipOf(QByteArray(1, '\0'), kBombInflatedBytes);
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const bool gzip = socket->readAll().contains("/bomb");
            const QByteArray &body = gzip ? bomb : plain;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                + (gzip ? "\r\nContent-Encoding: gzip" : "") + "\r\nConnection: close\r\n\r\n");
            socket->write(body);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });

    const struct
    {
        const char *name;
        const char *path;
    } cases[] = { { "plain 16 MiB body", "/plain" }, { "gzip 1 MiB -> 1 GiB", "/bomb" } };
    std::printf("bomb on the wire: %d bytes\n", int(bomb.size()));
    for (const auto &c : cases) {
        std::printf("%-22s ", c.name);
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        QEventLoop loop;
        QObject::connect(
            &child, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(c.path) });
        QTimer::singleShot(kChildTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        if (child.state() != QProcess::NotRunning || child.exitCode() != 0)
            std::printf("failed\n");
    }
    return 0;
}
