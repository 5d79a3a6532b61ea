// Opening and closing the window with a large check script (a generated inventory of
// n devices in 20 locations), each size in a process of its own so that one size's
// peak memory does not hide the next one's. The empty script is the baseline.
#include "app/gui/fromlanrik.h"
#include "check/appdir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace
{
constexpr int kLocations = 20;
constexpr int kChildTimeoutMs = 10 * 60 * 1000;

// Peak resident size of this process.
long peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024;
    }
    return -1;
}

bool writeScript(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out.setGenerateByteOrderMark(true);
    for (int i = 0; i < lines; ++i)
        out << QStringLiteral("CMD|ping 127.0.%1.%2 -c 1|计算机%3|ttl=|机房%4\n")
                   .arg(i / 250 % 256)
                   .arg(i % 250 + 1)
                   .arg(i)
                   .arg(i % kLocations);
    return out.status() == QTextStream::Ok;
}

// One size: the window is built and shown, then closed the way the user closes it (the
// event loop ends with the last window) and destroyed, as main does.
int measure(int argc, char **argv, int lines)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!writeScript(dir.filePath(QStringLiteral("chkScript.txt")), lines))
        return 1;
    setAppDirOverride(dir.path());
    QElapsedTimer clock;
    clock.start();
    auto *window = new fromlanrik;
    window->show();
    QCoreApplication::processEvents();
    const double openMs = clock.nsecsElapsed() / 1e6;
    const long peak = peakMiB();
    clock.restart();
    QTimer::singleShot(0, window, &QWidget::close);
    app.exec();
    delete window;
    const double closeMs = clock.nsecsElapsed() / 1e6;
    std::printf("%8d %10.0f %10.0f %10ld\n", lines, openMs, closeMs, peak);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        return measure(argc, argv, QByteArray(argv[1]).toInt());
    QCoreApplication app(argc, argv);
    std::printf("%8s %10s %10s %10s\n", "lines", "open ms", "close ms", "peak MiB");
    std::fflush(stdout);
    for (int lines : { 0, 10000, 100000 }) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        child.start(QCoreApplication::applicationFilePath(), { QString::number(lines) });
        if (!child.waitForFinished(kChildTimeoutMs) || child.exitCode() != 0)
            std::printf("%8d failed\n", lines);
        std::fflush(stdout);
    }
    return 0;
}
