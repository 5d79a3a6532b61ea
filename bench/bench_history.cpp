// The history's cost and size. A run of 1,000 trivial command lines without a window (the
// program itself, copied to a fresh folder) is the baseline for recording such a run: into a
// new file, and into one where each line already has hours of checks (so every line's newest
// checks sit on a page of their own, as they do after a while). Then a full history: 100
// lines every minute for 35 days and a day more (the day a daily prune finds), hourly
// summaries and one outage a day per line for 400 days, written straight into the file in
// time order as the runs would; its size, one day's prune, the report without a window and
// one line's month for its history window.
#include "bench/historyfill.h"
#include "check/historytext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace
{
constexpr int kRunLines = 1000;
constexpr int kLines = 100;
constexpr int kCheckDays = 36;
constexpr int kSummaryDays = 400;
constexpr int kChildTimeoutMs = 10 * 60 * 1000; // 1,000 commands, 16 at a time

// The same 1,000 lines run by the program without a window, in a folder of its own.
qint64 runWithoutHistoryMs(const QString &folder)
{
    const QString program = folder + "/netcheck";
    QDir().mkpath(folder + "/log");
    QFile::copy(NETCHECK_BIN, program);
    QFile script(folder + "/script.txt");
    script.open(QIODevice::WriteOnly);
    QTextStream out(&script);
    out.setCodec("UTF-8");
    for (const CheckLine &line : scriptLines(kRunLines))
        out << line.type << '|' << line.target << '|' << line.alias << '|' << line.success << '|'
            << line.location << '\n';
    out.flush();
    script.close();
    QProcess check;
    QElapsedTimer wall;
    wall.start();
    check.start(program, { "--check", "--script", script.fileName() });
    check.waitForFinished(kChildTimeoutMs);
    return check.exitStatus() == QProcess::NormalExit && check.exitCode() == 0 ? wall.elapsed() : -1;
}

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall time; the processor time of this thread goes to *cpuMs (the machine is shared: the
// wall time holds the waits for the processor and the disk).
double recordMs(HistoryStore &store, const QList<CheckResult> &run, double *cpuMs = nullptr)
{
    QElapsedTimer t;
    t.start();
    const double cpu = threadCpuMs();
    QString problem;
    store.record(run, &problem);
    if (!problem.isEmpty())
        std::printf("  problem: %s\n", qPrintable(problem));
    if (cpuMs)
        *cpuMs = threadCpuMs() - cpu;
    return t.nsecsElapsed() / 1e6;
}

qint64 pages(const QString &path, const char *pragma)
{
    qint64 n = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "pages");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(QString("PRAGMA ") + pragma, db);
        n = q.next() ? q.value(0).toLongLong() : 0;
    }
    QSqlDatabase::removeDatabase("pages");
    return n;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(kHistoryFileName);

    std::printf("a run of %d trivial command lines\n", kRunLines);
    const qint64 runMs = runWithoutHistoryMs(dir.filePath("run"));
    std::printf("  run without history (the program, --check):   %6lld ms\n", static_cast<long long>(runMs));
    const QList<CheckLine> runLines = scriptLines(kRunLines);
    QDateTime at = QDateTime::currentDateTime();
    for (const bool aged : { false, true }) {
        const QString file = dir.filePath(aged ? "aged.sqlite" : "new.sqlite");
        if (aged) { // and one run recorded by a process before, as the previous --check
            fill(file, kRunLines, at.addSecs(-60).toMSecsSinceEpoch(), 0.25, 1);
            QString problem;
            HistoryStore(file).record(runOf(runLines, at), &problem);
        }
        HistoryStore store(file);
        QElapsedTimer made;
        made.start();
        QString problem;
        store.states({}, &problem); // opens (and makes) the file
        const double openMs = made.nsecsElapsed() / 1e6;
        QVector<double> runs, cpus, after;
        for (int i = 0; i < 11; ++i) {
            at = at.addSecs(60);
            double cpu = 0;
            runs << recordMs(store, runOf(runLines, at), &cpu);
            cpus << cpu;
            made.start();
            store.maintain(at.toMSecsSinceEpoch(), &problem);
            after << made.nsecsElapsed() / 1e6;
        }
        const double first = runs.takeFirst(), firstCpu = cpus.takeFirst();
        for (QVector<double> *figures : { &runs, &cpus, &after })
            std::sort(figures->begin(), figures->end());
        std::printf(
            "  %s\n", aged ? "into a file with 6 hours of checks of each line (360,000)" : "into a new file");
        std::printf("    opening%s: %.1f ms\n", aged ? "" : " (making)", openMs);
        std::printf("    recording the first run (%s): %.1f ms, processor %.1f ms  (target < 50 ms)\n",
            aged ? "after opening, as --check does" : "1,000 new lines", first, firstCpu);
        std::printf(
            "    recording a run, median of 10: %.1f ms (worst %.1f), processor %.1f ms  (target < 50 ms)\n",
            runs.at(5), runs.last(), cpus.at(5));
        std::printf("    after it, off its path (checkpoint): median %.1f ms, worst %.1f ms\n", after.at(5),
            after.last());
    }

    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QElapsedTimer t;
    t.start();
    fill(path, kLines, now, kCheckDays, kSummaryDays);
    std::printf("\n%d lines every minute for %d days, summaries and outages for %d days (filled in %.0f s)\n",
        kLines, kCheckDays, kSummaryDays, t.elapsed() / 1000.0);
    QString problem;
    {
        HistoryStore store(path);
        t.start();
        store.maintain(now, &problem);
        std::printf("  one day's prune: %lld ms (bound %d ms) %s\n", static_cast<long long>(t.elapsed()),
            kPruneBudgetMs, qPrintable(problem));
        const QList<CheckLine> lines = scriptLines(kLines);
        QVector<double> ms;
        for (int i = 1; i <= 10; ++i) {
            ms << recordMs(store, runOf(lines, QDateTime::fromMSecsSinceEpoch(now + 60000 * i)));
            store.maintain(now + 60000 * i, &problem);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("  recording a run of %d lines into it, median / worst of 10: %.1f / %.1f ms\n", kLines,
            ms.at(5), ms.last());
    }
    const qint64 bytes = QFileInfo(path).size();
    std::printf("  file size: %.1f MB (target < 300 MB); %lld of %lld pages free after the prune\n",
        bytes / 1e6, pages(path, "freelist_count"), pages(path, "page_count"));

    const QList<CheckLine> lines = scriptLines(kLines);
    t.start();
    HistoryStore reader(path, HistoryStore::Access::ReadOnly);
    const QStringList report = historyReport(lines,
        reader.figures(lines, { 1, 7, 30 }, now + 600000, &problem), QDateTime::fromMSecsSinceEpoch(now));
    const qint64 reportMs = t.elapsed();
    t.start();
    reader.figures(lines, { 400 }, now + 600000, &problem);
    const qint64 yearMs = t.elapsed();
    std::printf(
        "  report without a window (1, 7, 30 days): %lld ms; --days 400: %lld ms (target < 1000 ms) %s\n",
        static_cast<long long>(reportMs), static_cast<long long>(yearMs), qPrintable(problem));
    for (int i = 0; i < 3; ++i)
        std::printf("    %s\n", qPrintable(report.value(i)));
    t.start();
    const LineHistory month
        = reader.lineHistory(lineKeysOf(lines).first(), now - 30 * kDayMs, now, true, &problem);
    std::printf("  one line's 30 days for its window: %lld ms (%d checks, %d hours, %d outages)\n",
        static_cast<long long>(t.elapsed()), int(month.checks.size()), int(month.hours.size()),
        int(month.outages.size()));
    return 0;
}
