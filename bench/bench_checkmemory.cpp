// Peak memory of `netcheck --check` on scripts whose outputs and pages reach the caps, and
// on a script of a million lines, each against its target. The peak is the resident size
// the kernel accounts to the netcheck process (VmHWM); a small child of this program starts
// it and collects that when it ends, while this process serves the pages.
// Usage: bench_checkmemory [netcheck binary to measure, e.g. an older build] [part of a case name]
#include "gzip.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <zlib.h>

extern char **environ;

namespace
{
constexpr qint64 kCapBytes = 16 * 1024 * 1024;
constexpr qint64 kBombInflatedBytes = 1LL << 30;
constexpr int kHugeScriptLines = 1000000;
// A case that runs longer than this counts as failed.
constexpr int kCaseTimeoutMs = 20 * 60 * 1000;

// The child's part: runs the program with its output into a file, then prints its peak in KiB,
// its exit code, the bytes it printed and the seconds it took.
int measure(char **argv)
{
    const char *outPath = argv[0];
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer clock;
    clock.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv[1], &actions, nullptr, argv + 1, environ) != 0)
        return 1;
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    std::printf("%ld %d %lld %.1f\n", usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1,
        QFileInfo(QString::fromLocal8Bit(outPath)).size(), clock.nsecsElapsed() / 1e9);
    return 0;
}

struct Case
{
    const char *name;
    QByteArray script; // %1 stands for the server's address
    bool pdf;
    long targetMiB;
    int baseline; // index of the case it is measured above; -1 for an absolute peak
};
} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--measure") == 0)
        return measure(argv + 2);
    QCoreApplication app(argc, argv);
    const QString program
        = argc > 1 && *argv[1] ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(NETCHECK_BIN);
    QTemporaryDir dir;
    // The program keeps its log beside itself.
    const QString netcheck = dir.filePath(QStringLiteral("netcheck"));
    if (!QFile::copy(program, netcheck)) {
        std::printf("cannot copy %s\n", qPrintable(program));
        return 1;
    }

    std::printf("making the pages...\n");
    std::fflush(stdout);
    const QByteArray plain
        = QByteArray("<p>0123456789</p>\n").repeated(int(kCapBytes / 18) + 1).left(kCapBytes);
    const QByteArray zeroBomb = gzipOf(QByteArray(1, '\0'), kBombInflatedBytes);
    const QByteArray lineBomb = gzipOf("a\n", kBombInflatedBytes);
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket *socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            const QByteArray request = socket->readAll();
            const QByteArray &body = request.contains("/zerobomb") ? zeroBomb
                : request.contains("/linebomb")                    ? lineBomb
                                                                   : plain;
            socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size())
                + (&body != &plain ? "\r\nContent-Encoding: gzip" : "") + "\r\nConnection: close\r\n\r\n");
            socket->write(body);
            socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    });
    const QByteArray address = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QString longLine = dir.filePath(QStringLiteral("longline.sh"));
    QFile shell(longLine);
    if (!shell.open(QIODevice::WriteOnly) || shell.write("head -c 16777216 /dev/zero | tr '\\0' x\n") < 0)
        return 1;
    shell.close();

    QByteArray huge;
    for (int i = 0; i < kHugeScriptLines; ++i)
        huge += "PING|127.0.0." + QByteArray::number(i % 250 + 1) + "|设备" + QByteArray::number(i)
            + "|ttl=|机房" + QByteArray::number(i % 20) + '\n';
    const Case cases[] = {
        { "empty script", "", false, 0, -1 },
        { "empty script, --pdf", "", true, 0, -1 },
        { "40 lines printing 16 MiB each",
            QByteArray("CMD|head -c 16777216 /dev/zero|零|x|机房\n").repeated(40), false, 300, -1 },
        { "50 lines naming a 1 MiB -> 1 GiB bomb", QByteArray("URL|%1/zerobomb|炸弹|x|机房\n").repeated(50),
            false, 300, -1 },
        { "one 16 MiB page", "URL|%1/plain|页面|0123|机房\n", false, 80, 0 },
        { "one bomb inflating to a\\n", "URL|%1/linebomb|页面|a|机房\n", false, 80, 0 },
        // One line of 16 MiB without a blank, the hardest to lay out (a script: "|" parts a line).
        { "--pdf, one 16 MiB result", "CMD|sh %2|大|x|机房\n", true, 150, 1 },
        { "1,000,000 lines, no process", huge, false, 500, -1 },
    };
    std::printf("%-40s %9s %9s %9s %8s %6s %10s\n", "case", "peak MiB", "above", "target", "seconds", "exit",
        "stdout");
    long peaks[sizeof cases / sizeof *cases] = {};
    for (size_t i = 0; i < sizeof cases / sizeof *cases; ++i) {
        const Case &c = cases[i];
        if (argc > 2 && c.targetMiB && !QByteArray(c.name).contains(argv[2]))
            continue;
        const QString scriptPath = dir.filePath(QStringLiteral("script%1.txt").arg(i));
        QFile script(scriptPath);
        const QByteArray text = QByteArray(c.script).replace("%1", address).replace("%2", longLine.toUtf8());
        if (!script.open(QIODevice::WriteOnly) || script.write(text) != text.size())
            return 1;
        script.close();
        QStringList arguments = { QStringLiteral("--measure"), dir.filePath(QStringLiteral("stdout")),
            netcheck, QStringLiteral("--check"), QStringLiteral("--script"), scriptPath };
        if (c.pdf)
            arguments << QStringLiteral("--pdf") << dir.filePath(QStringLiteral("report.pdf"));
        QProcess child;
        QEventLoop loop;
        QObject::connect(
            &child, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
        QTimer::singleShot(kCaseTimeoutMs, &loop, &QEventLoop::quit);
        child.start(QCoreApplication::applicationFilePath(), arguments);
        loop.exec();
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (child.state() != QProcess::NotRunning || figures.size() != 4) {
            std::printf("%-40s failed\n", c.name);
            child.kill();
            child.waitForFinished();
            continue;
        }
        peaks[i] = figures.at(0).toLong() / 1024;
        const long above = c.baseline < 0 ? peaks[i] : peaks[i] - peaks[c.baseline];
        std::printf("%-40s %9ld %9s %9s %8s %6s %10s  %s\n", c.name, peaks[i],
            c.baseline < 0 ? "" : qPrintable(QString::number(above)),
            c.targetMiB ? qPrintable(QStringLiteral("< %1").arg(c.targetMiB)) : "", figures.at(3).constData(),
            figures.at(1).constData(), figures.at(2).constData(),
            !c.targetMiB              ? ""
                : above < c.targetMiB ? "met"
                                      : "MISSED");
        std::fflush(stdout);
    }
    return 0;
}
