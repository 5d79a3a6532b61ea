// A large check script in the window (a generated inventory of n devices in 20 locations, each
// checked by a trivial command): open, one run, the picture view, close, and the longest time
// the event loop was held up meanwhile; each size in a process of its own so that one size's
// peak memory does not hide the next one's. The empty script is the baseline; a script over the
// window's limit is refused, so only its open and close count.
#include "app/gui/fromlanrik.h"
#include "app/gui/scriptpage.h"
#include "app/gui/windowviews.h"
#include "check/appdir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

namespace
{
constexpr int kLocations = 20;
constexpr int kChildTimeoutMs = 10 * 60 * 1000;
constexpr int kTickMs = 5; // the pause meter's beat
constexpr int kSettleMs = 500; // after a run, for rows still being filled
// Targets for a script the window holds.
constexpr double kOpenMs = 1000, kPauseMs = 500, kPicturesMs = 3000, kCloseMs = 500;

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
        out << QStringLiteral("CMD|true|计算机%1||机房%2\n").arg(i).arg(i % kLocations);
    return out.status() == QTextStream::Ok;
}

// The longest gap between two beats of a timer, less the beat: how long the window could not
// have answered a click.
class PauseMeter
{
public:
    PauseMeter()
    {
        beat.setTimerType(Qt::PreciseTimer);
        QObject::connect(
            &beat, &QTimer::timeout, [this] { longest = qMax(longest, since.restart() - kTickMs); });
    }
    void start()
    {
        longest = 0;
        since.start();
        beat.start(kTickMs);
    }
    qint64 stop()
    {
        beat.stop();
        return qMax(longest, since.elapsed() - kTickMs);
    }

private:
    QTimer beat;
    QElapsedTimer since;
    qint64 longest = 0;
};

void waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

const char *mark(double value, double target)
{
    return value < target ? "ok" : "OVER";
}

// One size: the window is built and shown, runs its script, shows its pictures, then is closed the
// way the user closes it (the event loop ends with the last window) and destroyed, as main does.
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
    window->resize(1024, 694);
    window->show();
    QCoreApplication::processEvents();
    const double openMs = clock.nsecsElapsed() / 1e6;
    // The page a run is started from, its results table showing.
    window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);

    PauseMeter meter;
    double runMs = 0, picturesMs = 0;
    qint64 runPause = 0, picturesPause = 0;
    if (lines <= kWindowScriptMaxLines) {
        meter.start();
        clock.restart();
        QMetaObject::invokeMethod(window, "on_cmdScriptStart_clicked");
        runMs = clock.nsecsElapsed() / 1e6;
        QElapsedTimer settle;
        settle.start();
        waitUntil([&] { return settle.elapsed() > kSettleMs; });
        runPause = meter.stop();

        meter.start();
        clock.restart();
        QMetaObject::invokeMethod(window, "on_cmdScripShow_clicked");
        waitUntil([&] { return WindowViews::of(window)->pictures.complete(); });
        QCoreApplication::processEvents();
        picturesMs = clock.nsecsElapsed() / 1e6;
        picturesPause = meter.stop();
    }

    const long peak = peakMiB();
    clock.restart();
    QTimer::singleShot(0, window, &QWidget::close);
    app.exec();
    delete window;
    const double closeMs = clock.nsecsElapsed() / 1e6;
    std::printf("%8d %7.0f %-4s ", lines, openMs, mark(openMs, kOpenMs));
    if (lines <= kWindowScriptMaxLines)
        std::printf("%7.0f %7lld %-4s %7.0f %-4s %7lld %-4s ", runMs, runPause, mark(runPause, kPauseMs),
            picturesMs, mark(picturesMs, kPicturesMs), picturesPause, mark(picturesPause, kPauseMs));
    else
        std::printf("%7s %12s %12s %12s ", "refused", "-", "-", "-");
    std::printf("%7.0f %-4s %8ld\n", closeMs, mark(closeMs, kCloseMs), peak);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc > 1)
        return measure(argc, argv, QByteArray(argv[1]).toInt());
    QCoreApplication app(argc, argv);
    std::printf("targets: open < %.0f ms, longest pause < %.0f ms, pictures complete < %.0f ms, "
                "close < %.0f ms\n",
        kOpenMs, kPauseMs, kPicturesMs, kCloseMs);
    std::printf("%8s %12s %7s %12s %12s %12s %12s %8s\n", "lines", "open ms", "run ms", "run pause",
        "pictures ms", "pict. pause", "close ms", "peak MiB");
    std::fflush(stdout);
    for (int lines : { 0, kWindowScriptMaxLines, 1000000 }) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        child.start(QCoreApplication::applicationFilePath(), { QString::number(lines) });
        if (!child.waitForFinished(kChildTimeoutMs) || child.exitCode() != 0)
            std::printf("%8d failed\n", lines);
        std::fflush(stdout);
    }
    return 0;
}
