// Time and peak memory of printing a results table of 1,000 and 10,000 rows.
// Each size runs in its own child process so that its peak memory is its own.
#include "report/pdfreport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace
{
constexpr int kChildBoundMs = 10 * 60 * 1000; // one size printed in a child process

long peakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QStringList lines = QString::fromLatin1(status.readAll()).split('\n');
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("VmHWM:")))
            return line.section(':', 1).trimmed().section(' ', 0, 0).toLong();
    return -1;
}

ReportTable results(int rows)
{
    ReportTable table { { "名称", "状态", "检测内容", "检测时间", "检测结果", "位置" },
        { 200, 80, 360, 200, 500, 100 }, {} };
    for (int r = 0; r < rows; ++r) {
        const QString host = QStringLiteral("127.0.%1.%2").arg(r / 250).arg(r % 250 + 1);
        const bool ok = r % 7 != 0;
        table.rows.append(
            { QStringLiteral("核心交换机%1").arg(r), ok ? QStringLiteral("正常") : QStringLiteral("异常"),
                QStringLiteral("CMD-ping %1 -c 1").arg(host),
                (QStringLiteral("2024年03月05日 10:%1:%2")
                        .arg(r / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(r % 60, 2, 10, QLatin1Char('0'))),
                QStringLiteral("PING %1 (%1) 56(84) bytes of data.\n"
                               "64 bytes from %1: icmp_seq=1 ttl=64 time=0.041 ms\n\n"
                               "--- %1 ping statistics ---\n"
                               "1 packets transmitted, 1 received, 0%% packet loss, time 0ms\n"
                               "rtt min/avg/max/mdev = 0.041/0.041/0.041/0.000 ms")
                    .arg(host),
                QStringLiteral("机房%1").arg(r % 5) });
    }
    return table;
}

// Child: prints one table and reports "rows ms peakBeforeKb peakAfterKb bytes pages".
int runOne(int rows)
{
    QTemporaryDir dir;
    const ReportTable table = results(rows);
    const long before = peakKb();
    const QString path = dir.filePath(QStringLiteral("tmpPDF.pdf"));
    QElapsedTimer timer;
    timer.start();
    // Written only: no viewer is started.
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    writeReportPdf(
        file, QStringLiteral("2024年03月05日检测结果"), QString(), QString(), QStringLiteral("横向"), table);
    file.close();
    const qint64 ms = timer.elapsed();
    std::printf("%d %lld %ld %ld %lld\n", rows, static_cast<long long>(ms), before, peakKb(),
        static_cast<long long>(QFileInfo(path).size()));
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--rows"))
        return runOne(args.at(2).toInt());

    std::printf("%8s %7s %9s %10s %10s %10s %9s %8s\n", "rows", "pages", "ms", "ms/page", "peak MB",
        "+print MB", "file KB", "x time");
    double baseMs = 0;
    for (int rows : { 19, 1000, 10000 }) {
        QProcess child;
        child.start(app.applicationFilePath(), { QStringLiteral("--rows"), QString::number(rows) });
        if (!child.waitForFinished(kChildBoundMs))
            child.kill();
        const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
        if (f.size() < 5) {
            std::printf("%8d failed\n", rows);
            continue;
        }
        const double ms = f.at(1).toDouble();
        const int pages = (rows + 18) / 19;
        if (rows == 19)
            baseMs = ms;
        std::printf("%8d %7d %9.0f %10.1f %10.1f %10.1f %9.0f %8.1f\n", rows, pages, ms, ms / pages,
            f.at(3).toDouble() / 1024, (f.at(3).toDouble() - f.at(2).toDouble()) / 1024,
            f.at(4).toDouble() / 1024, baseMs > 0 ? ms / baseMs : 0.0);
    }
    std::printf("x time: against the one-page table of 19 rows in this run\n");
    return 0;
}
