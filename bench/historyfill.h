#ifndef BENCH_HISTORYFILL_H
#define BENCH_HISTORYFILL_H

// A history as the benchmarks need it: script lines, a run of them, and a file filled
// straight with checks, hourly summaries and outages.
#include "check/historystore.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cstdio>

inline QList<CheckLine> scriptLines(int n)
{
    QList<CheckLine> lines;
    for (int i = 0; i < n; ++i)
        lines << CheckLine { "CMD", QStringLiteral("echo ok %1").arg(i), QStringLiteral("计算机%1").arg(i),
            "ok", QStringLiteral("机房%1").arg(i % 20), i };
    return lines;
}

inline QList<CheckResult> runOf(const QList<CheckLine> &lines, const QDateTime &at)
{
    QList<CheckResult> run;
    for (const CheckLine &line : lines) {
        const bool passed = QRandomGenerator::global()->bounded(100) != 0;
        run << CheckResult { line, passed ? Verdict::Passed : Verdict::Failed,
            passed ? QString() : QStringLiteral("超过 10 秒未完成，已终止"), "ok", at,
            QRandomGenerator::global()->bounded(1, 200), 0, {} };
    }
    return run;
}

inline void exec(QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        std::printf("  %s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
}

// Straight into the file in one transaction, in time order: checks of the last checkDays,
// summaries and outages of the last summaryDays.
inline void fill(const QString &path, int lines, qint64 nowMs, double checkDays, int summaryDays)
{
    {
        HistoryStore store(path);
        QString problem;
        store.record(runOf(scriptLines(lines), QDateTime::fromMSecsSinceEpoch(nowMs - summaryDays * kDayMs)),
            &problem);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
    db.setDatabaseName(path);
    db.open();
    QSqlQuery q(db);
    exec(q, "PRAGMA journal_mode=DELETE");
    exec(q, "PRAGMA synchronous=OFF");
    exec(q, "DELETE FROM checks");
    exec(q, "DELETE FROM hours");
    exec(q, "DELETE FROM outages");
    exec(q, "BEGIN");
    QSqlQuery check(db), hour(db), outage(db);
    check.prepare("INSERT INTO checks VALUES(?, ?, ?, ?, ?, ?)");
    hour.prepare("INSERT INTO hours VALUES(?, ?, ?, ?, ?, ?, ?)");
    outage.prepare("INSERT INTO outages VALUES(?, ?, ?, 2, 1)");
    auto *random = QRandomGenerator::global();
    const qint64 firstHour = (nowMs - summaryDays * kDayMs) / kHourMs, lastHour = nowMs / kHourMs;
    const qint64 checksFrom = nowMs - qint64(checkDays * kDayMs);
    for (qint64 h = firstHour; h <= lastHour; ++h) {
        for (int line = 1; line <= lines; ++line) {
            hour.addBindValue(line);
            hour.addBindValue(h);
            hour.addBindValue(60);
            hour.addBindValue(random->bounded(2));
            hour.addBindValue(3);
            hour.addBindValue(60 * 40);
            hour.addBindValue(180);
            hour.exec();
            if ((h + line) % 24 == 0) {
                outage.addBindValue(line);
                outage.addBindValue(h * kHourMs + 60000);
                outage.addBindValue(h * kHourMs + 60000 * random->bounded(2, 30));
                outage.exec();
            }
        }
        for (int minute = 0; minute < 60 && (h + 1) * kHourMs > checksFrom; ++minute) {
            for (int line = 1; line <= lines; ++line) {
                const bool passed = random->bounded(100) != 0;
                check.addBindValue(line);
                check.addBindValue(h * kHourMs + minute * 60000 + line * 7);
                check.addBindValue(passed ? 1 : 2);
                check.addBindValue(passed ? 0 : 1);
                check.addBindValue(random->bounded(1, 200));
                check.addBindValue(0);
                check.exec();
            }
        }
    }
    exec(q, "COMMIT");
    exec(q, "PRAGMA journal_mode=WAL");
    q.finish();
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("fill");
}

#endif
