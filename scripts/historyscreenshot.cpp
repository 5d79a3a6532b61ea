// Writes a PNG of a line's history window at 1366×768, on a generated month of checks recorded
// through the history store as runs record them: a check every two minutes for 35 days, slower
// in office hours and slowly worse over the last week, six hours without checks, two outages
// and a few single failures.
#include "app/gui/historywindow.h"
#include "check/historystore.h"
#include "check/historythread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtMath>

namespace
{
constexpr int kStepMinutes = 2;
constexpr int kDays = 35;
constexpr int kReadMs = 10000; // the window reads a month on its thread

CheckResult checkAt(const CheckLine &line, const QDateTime &at, const QDateTime &now)
{
    static QRandomGenerator seeded(26); // the same month every time
    QRandomGenerator *random = &seeded;
    const qint64 ago = at.secsTo(now) / 60; // minutes
    CheckResult r { line, Verdict::Passed, {}, QStringLiteral("64 bytes from 10.0.8.21"), at, 0, 0, {} };
    const int hour = at.time().hour();
    const bool office = hour >= 8 && hour < 18 && at.date().dayOfWeek() < 6;
    double ms = 18 + (office ? 14 : 0) + random->bounded(8.0);
    if (ago < 7 * 24 * 60) // a link slowly going bad over the last week
        ms += (7 * 24 * 60 - ago) / 260.0;
    if (random->bounded(400) == 0)
        ms *= 4;
    r.durationMs = qRound(ms);
    const auto within = [&](qint64 from, qint64 to) { return ago <= from && ago > to; };
    if (within(2 * 24 * 60 - 14 * 60, 2 * 24 * 60 - 14 * 60 - 26) // an outage the day before yesterday
        || within(12 * 24 * 60 + 3 * 60, 12 * 24 * 60) // three hours, 12 days ago
        || within(5 * 60 + 10, 5 * 60 + 8) || within(5 * 24 * 60 + 70, 5 * 24 * 60 + 68)
        || within(20 * 24 * 60 + 400, 20 * 24 * 60 + 398)) { // single failed checks
        r.verdict = Verdict::Failed;
        r.reason = QStringLiteral("超过 10 秒未完成，已终止");
        r.durationMs = 10000;
        r.output.clear();
    }
    return r;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir dir;
    const QString path = dir.filePath(kHistoryFileName);
    const CheckLine line { QStringLiteral("CMD"), QStringLiteral("ping -c 1 -W 10 10.0.8.21"),
        QStringLiteral("财务部打印机"), QStringLiteral("bytes from"), QStringLiteral("二楼财务部"), 3 };
    const QDateTime now = QDateTime::currentDateTime();
    {
        HistoryStore store(path);
        QString problem;
        const QDateTime first = now.addDays(-kDays);
        for (QDateTime at = first; at < now; at = at.addSecs(60 * kStepMinutes)) {
            // The office's power was off for six hours four days ago.
            const qint64 ago = at.secsTo(now) / 3600;
            if (ago < 4 * 24 && ago >= 4 * 24 - 6)
                continue;
            store.record({ checkAt(line, at, now) }, &problem);
        }
    }
    HistoryThread history(path);
    HistoryWindow window(&history, line, lineKeysOf({ line }).first());
    window.resize(1366, 768);
    window.show();
    QEventLoop loop;
    QObject::connect(&window, &HistoryWindow::historyShown, &loop, &QEventLoop::quit);
    QTimer::singleShot(kReadMs, &loop, &QEventLoop::quit);
    loop.exec();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    window.grab().save(QStringLiteral("%1/history.png").arg(out));
    return 0;
}
