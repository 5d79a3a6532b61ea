// A line's history window on a full history: 100 lines checked every minute for 36 days, hourly
// summaries and one outage a day per line for 400 days (the file the history's own benchmark
// sizes). How long the window takes to open (asked for, read on the history thread, drawn),
// first with the thread's connection still to be opened and then again; how long switching the
// chart's span takes; and the longest the main window's thread is held by one event meanwhile,
// beside the longest request on the history thread.
#include "app/gui/historywindow.h"
#include "bench/historyfill.h"
#include "check/historythread.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <atomic>

namespace
{
constexpr int kLines = 100;
constexpr int kCheckDays = 36;
constexpr int kSummaryDays = 400;
constexpr int kReadBoundMs = 30000; // far past the target: a slow machine still prints its figure

// Times every event handled, on the main thread and on the others, counting nested ones once.
class TimedApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        thread_local int depth = 0;
        QElapsedTimer t;
        t.start();
        ++depth;
        const bool handled = QApplication::notify(receiver, event);
        if (--depth == 0) {
            std::atomic<qint64> &longest = QThread::currentThread() == thread() ? mainMs : otherMs;
            qint64 seen = longest;
            while (t.elapsed() > seen && !longest.compare_exchange_weak(seen, t.elapsed())) { }
        }
        return handled;
    }
    void restart() { mainMs = otherMs = 0; }

    std::atomic<qint64> mainMs { 0 };
    std::atomic<qint64> otherMs { 0 };
};

HistoryWindow *open(HistoryThread &thread, const CheckLine &line, const LineKey &key, double *ms)
{
    QElapsedTimer t;
    t.start();
    auto *window = new HistoryWindow(&thread, line, key);
    window->resize(1366, 768);
    window->show();
    QEventLoop loop;
    QObject::connect(window, &HistoryWindow::historyShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(kReadBoundMs, &loop, &QEventLoop::quit);
    loop.exec();
    window->repaint();
    *ms = t.nsecsElapsed() / 1e6;
    return window;
}
} // namespace

int main(int argc, char *argv[])
{
    TimedApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(kHistoryFileName);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer t;
    t.start();
    fill(path, kLines, now, kCheckDays, kSummaryDays);
    std::printf("%d lines every minute for %d days, summaries and outages for %d days (filled in %.0f s)\n",
        kLines, kCheckDays, kSummaryDays, t.elapsed() / 1000.0);

    const CheckLine line = scriptLines(kLines).at(kLines / 2);
    const LineKey key = lineKeysOf(scriptLines(kLines)).at(kLines / 2);
    HistoryThread thread(path);
    // The main window is up before any history window: its first widget's costs are not counted.
    QWidget main;
    main.show();
    QCoreApplication::processEvents();
    for (const bool again : { false, true }) {
        app.restart();
        double ms = 0;
        HistoryWindow *window = open(thread, line, key, &ms);
        std::printf("opening a line's window (%s): %.0f ms (target < 1000 ms)\n",
            again ? "again" : "first, the history thread's connection opened with it", ms);
        std::printf("  main thread held by one event at most %lld ms (target < 100 ms); the month read on "
                    "the history thread in %lld ms\n",
            static_cast<long long>(app.mainMs), static_cast<long long>(app.otherMs));
        if (again) {
            for (const int days : { 7, 30, 1, 30 }) {
                QElapsedTimer s;
                s.start();
                window->findChild<QAbstractButton *>(QStringLiteral("span%1").arg(days))->click();
                window->repaint();
                std::printf("  switching the chart to %2d days: %.1f ms (target < 300 ms)\n", days,
                    s.nsecsElapsed() / 1e6);
            }
        }
        delete window;
    }
    return 0;
}
