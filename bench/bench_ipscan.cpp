// Scan of a /24: the addresses one after another against the scan, with a fake ping
// that answers for 20 addresses and stays silent for a second for the other 234; then
// a real scan of 127.0.0.1-254 against 254 pings started at once from a shell. Run it
// in the lab namespace (../shared/tools/silent-lab; ip netns exec lab ...), where 228
// of those addresses stay silent as in a real subnet. Nothing leaves the machine.
#include "app/gui/scanpage.h"
#include "probe/neighbours.h"
#include "probe/ping.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

static const QString kFakePrefix = QStringLiteral("127.0.1");

static bool answersInFake(int n)
{
    return n % 12 == 0 && n <= 240; // 12, 24, ... 240: twenty hosts
}

// Names are answered here: any address but 127.0.0.1 would become a query to a name
// server, and the figures are about the probes.
static QString loopbackOnlyNames(const QString &address)
{
    return address == QLatin1String("127.0.0.1") ? QStringLiteral("localhost") : QString();
}

struct ScanFigures
{
    double seconds = 0;
    int answered = 0;
    qint64 longestPauseMs = 0; // of the GUI thread's event loop
};

// Watches the event loop with a 10 ms timer and keeps the longest gap between ticks.
struct PauseWatch
{
    PauseWatch()
    {
        QObject::connect(
            &ticker, &QTimer::timeout, [this] { longestMs = qMax(longestMs, sinceTick.restart()); });
        sinceTick.start();
        ticker.start(10);
    }
    QTimer ticker;
    QElapsedTimer sinceTick;
    qint64 longestMs = 0;
};

static qint64 idlePauseMs()
{
    PauseWatch watch;
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    return watch.longestMs;
}

static ScanFigures parallelScan(const QString &prefix, int first, int last)
{
    QTreeWidget tree;
    QTextEdit log;
    IpScanner scanner(&tree, &log, {});
    QEventLoop loop;
    QObject::connect(&scanner, &IpScanner::finished, &loop, &QEventLoop::quit);

    ScanFigures figures;
    PauseWatch watch;
    QElapsedTimer clock;
    clock.start();
    scanner.start({ prefix, first, last });
    if (scanner.isRunning())
        loop.exec();
    figures.seconds = clock.elapsed() / 1000.0;
    figures.longestPauseMs = watch.longestMs;
    if (tree.topLevelItemCount() > 0)
        figures.answered = tree.topLevelItem(0)->childCount();
    return figures;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool fullSequential = app.arguments().contains(QStringLiteral("--full-sequential"));
    setNameLookupOverride(loopbackOnlyNames);

    const QByteArray realPath = qgetenv("PATH");
    const QString fakeDir = QFileInfo(QStringLiteral(FAKE_PING_DIR)).canonicalFilePath();
    qputenv("PATH", fakeDir.toLocal8Bit() + ':' + realPath);
    qputenv("NETCHECK_FAKE_PING_SILENT_SECONDS", "1");
    QStringList answering;
    for (int n = 1; n <= 254; ++n) {
        if (answersInFake(n))
            answering << QStringLiteral("%1.%2").arg(kFakePrefix).arg(n);
    }
    qputenv("NETCHECK_FAKE_PING_ANSWERS", answering.join(QLatin1Char(' ')).toUtf8());
    if (fakeDir.isEmpty() || !QStandardPaths::findExecutable(QStringLiteral("ping")).startsWith(fakeDir)) {
        std::fprintf(stderr, "the fake ping is not first on PATH; nothing scanned\n");
        return 1;
    }

    std::printf("idle event loop (10 ms timer, 2 s): paused at most %lld ms\n",
        static_cast<long long>(idlePauseMs()));
    std::printf("/24 with a fake ping: 234 silent hosts (1 s each), 20 answering; every probe at once\n");

    // Sequential: one probe after the other, as a scan without worker threads does.
    const int sampleSilent = fullSequential ? 234 : 6;
    const int sampleAnswering = fullSequential ? 20 : 4;
    int silentDone = 0, answeringDone = 0;
    double silentSeconds = 0, answeringSeconds = 0;
    for (int n = 1; n <= 254 && (silentDone < sampleSilent || answeringDone < sampleAnswering); ++n) {
        const bool answers = answersInFake(n);
        if (answers ? answeringDone >= sampleAnswering : silentDone >= sampleSilent)
            continue;
        QElapsedTimer clock;
        clock.start();
        pingHost(QStringLiteral("%1.%2").arg(kFakePrefix).arg(n));
        (answers ? answeringSeconds : silentSeconds) += clock.elapsed() / 1000.0;
        ++(answers ? answeringDone : silentDone);
    }
    const double sequential = 234 * silentSeconds / silentDone + 20 * answeringSeconds / answeringDone;
    if (fullSequential)
        std::printf("  sequential:  %7.2f s (measured, all 254 probes)\n", sequential);
    else
        std::printf(
            "  sequential:  %7.2f s (estimated from %d silent and %d answering probes timed one by one;"
            " --full-sequential times all 254)\n",
            sequential, silentDone, answeringDone);

    const ScanFigures parallel = parallelScan(kFakePrefix, 1, 254);
    std::printf("  parallel:    %7.2f s, %d listed, event loop paused at most %lld ms\n", parallel.seconds,
        parallel.answered, static_cast<long long>(parallel.longestPauseMs));
    std::printf("  sequential / parallel: %.0fx\n", sequential / parallel.seconds);

    qputenv("PATH", realPath);
    qunsetenv("NETCHECK_FAKE_PING_ANSWERS");
    const ScanFigures real = parallelScan(QStringLiteral("127.0.0"), 1, 254);
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.start(QStringLiteral("sh"),
        { QStringLiteral("-c"),
            QStringLiteral(
                "for n in $(seq 1 254); do ping 127.0.0.$n -c 1 -W 1 -n >/dev/null 2>&1 & done; wait") });
    shell.waitForFinished(60000);
    const double shellSeconds = clock.elapsed() / 1000.0;
    std::printf("real ping, 127.0.0.1-127.0.0.254:\n  scan:  %7.2f s, %d answered, event loop paused at most "
                "%lld ms\n"
                "  shell: %7.2f s (254 pings started at once)\n  scan - shell: %+.2f s\n",
        real.seconds, real.answered, static_cast<long long>(real.longestPauseMs), shellSeconds,
        real.seconds - shellSeconds);
    return 0;
}
