// Batch runs through the real window: n trivial command lines with m device labels,
// and a slow script of 20 lines (commands and pages from a local server that each wait
// 0.7 to 1.9 s) with the engine at one check at a time against sixteen at once.
#include "app/gui/batchrun.h"
#include "app/gui/fromlanrik.h"
#include "app/gui/speech.h"
#include "check/appdir.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace
{
constexpr int kLocations = 10;

// Answers "GET /wait/<ms>" after that many milliseconds with a small page.
class SlowServer : public QTcpServer
{
public:
    SlowServer() { listen(QHostAddress::LocalHost); }

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, socket, [socket] {
            const QByteArray request = socket->readAll();
            const int ms = request.mid(request.indexOf("/wait/") + 6).split(' ').value(0).toInt();
            QTimer::singleShot(ms, socket, [socket] {
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\nwaited\n");
                socket->disconnectFromHost();
            });
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
};

struct Line
{
    QString type, target;
};

// The lines; the first m rows carry a location and so get a device label (rows beyond
// the lines are labels without a check line).
void fillScript(QTableWidget *table, const QList<Line> &lines, int m)
{
    const int rows = qMax(int(lines.size()), m);
    table->clearContents();
    table->setColumnCount(5);
    table->setRowCount(rows + 1);
    for (int r = 0; r < rows; ++r) {
        if (r < lines.size()) {
            table->setItem(r, 0, new QTableWidgetItem(QStringLiteral("设备%1").arg(r)));
            table->setItem(r, 1, new QTableWidgetItem(lines.at(r).type));
            table->setItem(r, 2, new QTableWidgetItem(lines.at(r).target));
        }
        if (r < m)
            table->setItem(r, 4, new QTableWidgetItem(QStringLiteral("区%1").arg(r % kLocations)));
    }
}

qint64 runOnce(const QList<Line> &lines, int m, int parallel)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("log"));
    setAppDirOverride(dir.path());
    setParallelChecks(parallel);
    qint64 wallMs = 0;
    {
        fromlanrik window;
        window.show();
        fillScript(window.findChild<QTableWidget *>(QStringLiteral("tableScript")), lines, m);
        QElapsedTimer wall;
        wall.start();
        window.findChild<QPushButton *>(QStringLiteral("cmdScriptStart"))->click();
        wallMs = wall.elapsed();
    }
    setAppDirOverride(QString());
    return wallMs;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setSpeechObserver([](const QString &) {});

    std::printf("trivial lines (true), 16 checks at once\n%6s %6s %10s\n", "lines", "labels", "wall ms");
    for (int size : { 50, 200 }) {
        QList<Line> lines;
        for (int i = 0; i < size; ++i)
            lines.append({ QStringLiteral("CMD"), QStringLiteral("true") });
        std::printf("%6d %6d %10lld\n", size, size, static_cast<long long>(runOnce(lines, size, 16)));
    }

    SlowServer server;
    QList<Line> slow;
    int waitedMs = 0;
    for (int i = 0; i < 20; ++i) {
        const int ms = 700 + (i * 7 % 13) * 100; // 0.7 to 1.9 s
        waitedMs += ms;
        if (i % 2)
            slow.append({ QStringLiteral("CMD"), QStringLiteral("sleep %1").arg(ms / 1000.0) });
        else
            slow.append({ QStringLiteral("URL"),
                QStringLiteral("http://127.0.0.1:%1/wait/%2").arg(server.serverPort()).arg(ms) });
    }
    const qint64 one = runOnce(slow, 20, 1);
    const qint64 sixteen = runOnce(slow, 20, 16);
    std::printf("slow script: 20 lines (10 commands, 10 pages) waiting %.1f s in all\n", waitedMs / 1000.0);
    std::printf(
        "  one check at a time: %7.2f s\n  16 checks at once:   %7.2f s\n  ratio:               %7.1fx\n",
        one / 1000.0, sixteen / 1000.0, double(one) / double(sixteen));
    return 0;
}
