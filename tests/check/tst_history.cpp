#include "check/chartpoints.h"
#include "check/clock.h"
#include "check/historystore.h"
#include "check/historytext.h"
#include "check/historythread.h"
#include "check/statusstrip.h"

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QDateTime kNow(QDate(2024, 12, 7), QTime(10, 42));

CheckResult result(
    const QString &alias, Verdict verdict, const QDateTime &at, const QString &target = "ping -c1 甲")
{
    CheckResult r;
    r.line = CheckLine { "cmd", target, alias, "ok", "机房" };
    r.verdict = verdict;
    r.checkedAt = at;
    r.durationMs = 20;
    r.reason = verdict == Verdict::Passed ? QString() : QStringLiteral("超时");
    return r;
}

// The same run of 20 lines, runs times a minute apart, as a second process records it too.
QStringList recordRuns(const QString &path, int runs)
{
    QStringList problems;
    HistoryStore store(path);
    for (int i = 0; i < runs; ++i) {
        QList<CheckResult> run;
        for (int l = 0; l < 20; ++l)
            run << result(QString::number(l), Verdict::Passed, kNow.addSecs(60 * i));
        QString problem;
        store.record(run, &problem);
        if (!problem.isEmpty())
            problems << problem;
    }
    return problems;
}

qint64 count(const QString &path, const QString &sql)
{
    qint64 n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "count");
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(sql, db);
        n = q.next() ? q.value(0).toLongLong() : -1;
    }
    QSqlDatabase::removeDatabase("count");
    return n;
}

// A check every 5 minutes for 31 days up to 2024-12-07 10:40 UTC, none from 02:00 to 03:00 that
// day, failed ones at 08:05 that day, 3 days before at 20:30 and 20 days before at 06:10.
QVector<CheckPoint> everyFiveMinutes()
{
    const qint64 now = QDateTime(QDate(2024, 12, 7), QTime(10, 42), Qt::UTC).toMSecsSinceEpoch();
    const auto utc = [](int day, int hour, int minute) {
        return QDateTime(QDate(2024, 12, 7).addDays(day), QTime(hour, minute), Qt::UTC).toMSecsSinceEpoch();
    };
    const QVector<qint64> failed = { utc(0, 8, 5), utc(-3, 20, 30), utc(-20, 6, 10) };
    QVector<CheckPoint> checks;
    for (qint64 at = now / 300000 * 300000 - 31 * kDayMs; at < now; at += 300000) {
        if (at >= utc(0, 2, 0) && at < utc(0, 3, 0))
            continue;
        checks << CheckPoint { at, failed.contains(at) ? Verdict::Failed : Verdict::Passed, 40 };
    }
    return checks;
}

// A strip as runs of its spans: "g61 .4 r1", green, grey, red.
QString runsOf(const StatusStrip &strip)
{
    QStringList runs;
    QChar last;
    int n = 0;
    for (const StripSpan &span : strip.spans) {
        const QChar look = "g.r"[span.look() == StripSpan::Look::Passed ? 0
                : span.look() == StripSpan::Look::Unchecked             ? 1
                                                                        : 2];
        if (look != last && n > 0)
            runs << last + QString::number(n), n = 0;
        last = look, ++n;
    }
    runs << last + QString::number(n);
    return runs.join(' ');
}
} // namespace

class TstHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path() const { return dir.filePath("history.sqlite"); }

private slots:
    void init()
    {
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }
    void cleanup() { setFixedClock(QDateTime()); }

    void sinceText_data()
    {
        QTest::addColumn<int>("second"); // verdict
        QTest::addColumn<int>("minutesLater");
        QTest::addColumn<QString>("expected");
        QTest::newRow("turned") << int(Verdict::Failed) << 35 << "异常，自 12月07日 10:42 起，已持续 35 分钟";
        QTest::newRow("held since the first check")
            << int(Verdict::Passed) << 0 << "正常，自 12月06日 18:03 起，已持续 16 小时 39 分钟";
        QTest::newRow("under a minute")
            << int(Verdict::Failed) << 0 << "异常，自 12月07日 10:42 起，已持续不到 1 分钟";
        QTest::newRow("a day and no hour")
            << int(Verdict::Pending) << 1445 << "待检测，自 12月07日 10:42 起，已持续 1 天 0 小时 5 分钟";
    }
    void sinceText()
    {
        QFETCH(int, second);
        QFETCH(int, minutesLater);
        QFETCH(QString, expected);
        HistoryStore store(path());
        QString problem;
        setFixedClock(QDateTime(QDate(2024, 12, 6), QTime(18, 3)));
        const QList<LineState> first = store.record({ result("甲", Verdict::Passed, QDateTime()) }, &problem);
        QCOMPARE(::sinceText(first.value(0), currentTime()), QString()); // no earlier check
        const QList<LineState> states = store.record({ result("甲", Verdict(second), kNow) }, &problem);
        QCOMPARE(problem, QString());
        QCOMPARE(::sinceText(states.value(0), kNow.addSecs(60 * minutesLater + 59)), expected);
    }

    // Lines as "type|target|alias|success|row".
    void identity_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QList<int>>("runs"); // of each line after
        const QString a = "CMD|ping  a|甲|ok|0", b = "URL|http://u:pw@h/|乙|ok|1";
        QTest::newRow("moved to another row")
            << QStringList { a, b } << QStringList { b, "CMD|ping  a|甲|ok|7" } << QList<int> { 2, 2 };
        QTest::newRow("case, blanks, success text, password")
            << QStringList { a, b } << QStringList { "cmd|ping a|甲|ttl|0", "URL|http://u:other@h/|乙|ok|1" }
            << QList<int> { 2, 2 };
        QTest::newRow("duplicates keep their order")
            << QStringList { a, a } << QStringList { b, a, a, a } << QList<int> { 1, 2, 2, 1 };
        QTest::newRow("another alias is another line")
            << QStringList { a } << QStringList { "CMD|ping  a|丙|ok|0" } << QList<int> { 1 };
    }
    void identity()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QList<int>, runs);
        HistoryStore store(path());
        QString problem;
        QList<int> got;
        for (const QStringList &script : { before, after }) {
            QList<CheckResult> run;
            for (const QString &text : script) {
                const QStringList f = text.split('|');
                run << CheckResult { { f[0], f[1], f[2], f[3], "", f[4].toInt() }, Verdict::Passed, {}, {},
                    kNow.addSecs(60 * got.size()) };
            }
            got.clear();
            for (const LineState &state : store.record(run, &problem))
                got << state.runs;
        }
        QCOMPARE(got, runs);
        QCOMPARE(
            count(path(), "SELECT count(*) FROM lines WHERE target LIKE '%pw%' OR target LIKE '%other%'"), 0);
    }

    // The window's way: on a thread of its own, answers in the order of the requests.
    void windowThread()
    {
        setFixedClock(kNow.addSecs(60)); // its daily prune keeps these checks
        HistoryThread history(path());
        QSignalSpy recorded(&history, &HistoryThread::recorded), states(&history, &HistoryThread::statesRead),
            line(&history, &HistoryThread::lineRead);
        const CheckLine a = result("甲", Verdict::Passed, kNow).line;
        history.record({ result("甲", Verdict::Passed, kNow) });
        history.record({ result("甲", Verdict::Failed, kNow.addSecs(60)) });
        QTRY_COMPARE(recorded.count(), 2);
        history.setReported({ recorded.at(1).at(0).value<QList<LineState>>().value(0).lineId }, true);
        history.readStates(lineKeysOf({ a }));
        history.readLine(
            lineKeysOf({ a }).first(), kNow.toMSecsSinceEpoch(), kNow.addSecs(60).toMSecsSinceEpoch(), true);
        QTRY_COMPARE(line.count(), 1);
        QVERIFY(states.at(0).at(0).value<QList<LineState>>().value(0).reportedDown);
        const LineHistory h = line.at(0).at(1).value<LineHistory>();
        QCOMPARE(h.checks.size(), 2);
        QCOMPARE(h.outages.size(), 1);
        QCOMPARE(h.state.verdict, Verdict::Failed);
    }

    void twoProcessesLoseNoRow()
    {
        constexpr int kRuns = 150;
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(), { "--record", path(), QString::number(kRuns) });
        QVERIFY(other.waitForStarted());
        QTRY_VERIFY(other.canReadLine()); // it has begun
        QCOMPARE(recordRuns(path(), kRuns), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(other.state(), QProcess::NotRunning, 60000);
        QCOMPARE(other.readAll().trimmed(), QByteArray("recording"));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(count(path(), "SELECT count(*) FROM checks"), 2 * kRuns * 20);
        QCOMPARE(count(path(), "SELECT sum(checks) FROM hours"), 2 * kRuns * 20);
    }

    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("report");
        QTest::newRow("locked by another connection") << "locked"
                                                      << "文件被占用超过 2 秒";
        QTest::newRow("random bytes") << "random"
                                      << "已改名为 history.sqlite.broken-20241207-104200";
        QTest::newRow("damaged pages") << "damaged"
                                       << "已改名为 history.sqlite.broken-20241207-104200";
    }
    void faults()
    {
        QFETCH(QString, fault);
        QFETCH(QString, report);
        setFixedClock(kNow);
        QString problem;
        QByteArray bytes(64 * 1024, 0);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        if (fault == "random") {
            for (const char *suffix : { "", "-wal", "-shm" }) {
                QFile file(path() + suffix);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(bytes);
            }
        } else {
            recordRuns(path(), 200);
        }
        if (fault == "damaged") {
            QFile file(path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.seek(4096); // past the header page
            file.write(bytes.left(file.size() - 4096));
        }
        {
            QSqlDatabase locker = QSqlDatabase::addDatabase("QSQLITE", "locker");
            locker.setDatabaseName(path());
            if (fault == "locked") {
                QVERIFY(locker.open());
                QVERIFY(QSqlQuery(locker).exec("BEGIN IMMEDIATE")); // until it closes
            }
            HistoryStore store(path(), HistoryStore::Access::ReadWrite, 50);
            const QList<LineState> states = store.record({ result("甲", Verdict::Failed, kNow) }, &problem);
            QVERIFY2(problem.contains(report), qPrintable(problem));
            QCOMPARE(states.size(), fault == "locked" ? 0 : 1); // a new file takes the run
        }
        QSqlDatabase::removeDatabase("locker");
        HistoryStore(path()).record({ result("甲", Verdict::Failed, kNow.addSecs(60)) }, &problem);
        QCOMPARE(problem, QString()); // once
        if (fault == "random") {
            for (const char *suffix : { "", "-wal", "-shm" }) { // the -shm is an index SQLite remakes
                QFile aside(dir.filePath(QString("history.sqlite.broken-20241207-104200") + suffix));
                QVERIFY(aside.open(QIODevice::ReadOnly));
                QVERIFY(aside.readAll() == bytes || suffix == QString("-shm"));
            }
        }
        QCOMPARE(count(path(),
                     "SELECT count(*) FROM state JOIN lines ON id = line WHERE alias = '甲' AND runs = "
                         + QString(fault == "locked" ? "1" : "2")),
            1);
    }

    // The day's strip from single checks, the week's and the month's from hourly summaries of
    // the same checks; the end of a strip on local time.
    void strips_data()
    {
        QTest::addColumn<int>("strip");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QString>("uptime");
        QTest::newRow("24 hours in quarter-hours") << 0 << "g61 .4 g20 r1 g10"
                                                   << "99.6%";
        QTest::newRow("7 days in hours") << 1 << "g105 r1 g53 .1 g5 r1 g2"
                                         << "99.9%";
        QTest::newRow("30 days in six hours") << 2 << "g39 r1 g69 r1 g9 r1"
                                              << "99.9%";
    }
    void strips()
    {
        QFETCH(int, strip);
        const QVector<CheckPoint> checks = everyFiveMinutes();
        const qint64 now = checks.last().atMs + 2 * 60000;
        QMap<qint64, HourSummary> hours;
        for (const CheckPoint &c : checks) {
            HourSummary &h = hours[c.atMs / kHourMs];
            h.hour = c.atMs / kHourMs;
            ++h.checks;
            h.failures += c.verdict == Verdict::Passed ? 0 : 1;
        }
        const StripShape shape = QVector<StripShape> { kDayStrip, kWeekStrip, kMonthStrip }.at(strip);
        const qint64 end = stripEndMs(shape, now, 0);
        const StatusStrip made = strip == 0 ? stripOfChecks(shape, end, checks)
                                            : stripOfHours(shape, end, hours.values().toVector());
        QCOMPARE(made.spans.size(), shape.spans);
        QTEST(runsOf(made), "runs");
        QTEST(uptimeText(made.passed, made.made), "uptime");
        const QVector<qint64> localEnds = { 3 * 60000, 18 * 60000, 5 * kHourMs + 18 * 60000 };
        QCOMPARE(stripEndMs(shape, now, 8 * kHourMs) - now, localEnds.at(strip));
    }

    // Every failed check keeps a failed point in its pixel column; no column holds two points;
    // the hour without checks breaks the line where a column is narrower than it.
    void thinningKeepsFailures_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("gaps");
        QTest::newRow("a month into 700 columns") << 30 << 700 << 1;
        QTest::newRow("a day into 1500 columns, fewer checks than columns") << 1 << 1500 << 1;
        QTest::newRow("a week into 3 columns") << 7 << 3 << 0;
    }
    void thinningKeepsFailures()
    {
        QFETCH(int, days);
        QFETCH(int, columns);
        QVector<CheckPoint> checks = everyFiveMinutes();
        const qint64 to = checks.last().atMs, from = to - days * kDayMs;
        checks.last().verdict = Verdict::Failed; // on the span's very edge
        for (CheckPoint &c : checks)
            c.durationMs = c.atMs % 7 == 0 ? 90 : 30;
        const QVector<ChartPoint> points = thinnedPoints(checks, from, to, columns);
        const auto column
            = [&](qint64 at) { return qMin<qint64>(columns - 1, (at - from) * columns / (to - from)); };
        QSet<qint64> failedColumns, pointColumns;
        int gaps = 0;
        for (const ChartPoint &p : points) {
            gaps += p.gapBefore;
            QVERIFY2(!pointColumns.contains(column(p.atMs)), "two points in a column");
            pointColumns << column(p.atMs);
            if (p.failed)
                failedColumns << column(p.atMs);
            else
                QVERIFY(p.durationMs >= 30 && p.durationMs <= 90);
        }
        QSet<qint64> columnsOfFailures;
        for (const CheckPoint &c : checks) {
            if (c.verdict == Verdict::Failed && c.atMs >= from)
                columnsOfFailures << column(c.atMs);
        }
        QCOMPARE(failedColumns, columnsOfFailures);
        QTEST(gaps, "gaps");
    }

    // Hourly checks for 40 days; the first outage crosses the day from which single checks go.
    void figuresOverTheFold()
    {
        setFixedClock(kNow);
        HistoryStore store(path());
        QString problem;
        for (int k = 959; k >= 0; --k) {
            const bool down = (k >= 817 && k <= 864) || (k >= 50 && k <= 52);
            const QDateTime at = kNow.addSecs(-3600 * k);
            store.record({ result("甲", down ? Verdict::Failed : Verdict::Passed, at),
                             result("乙", Verdict::Passed, at) },
                &problem);
        }
        QVERIFY(store.maintain(kNow.toMSecsSinceEpoch(), &problem));
        QVERIFY(!store.maintain(kNow.addSecs(23 * 3600).toMSecsSinceEpoch(), &problem)); // once a day
        QCOMPARE(count(path(), "SELECT count(*) FROM checks WHERE line = 1"), 35 * 24 + 1); // from 10:00 on
        QCOMPARE(count(path(), "SELECT sum(checks) FROM hours WHERE line = 1"), 960);

        QList<CheckLine> lines;
        for (const QString &alias : { "甲", "乙", "丙丙丙" })
            lines << result(alias, Verdict::Passed, kNow).line;
        HistoryStore reader(path(), HistoryStore::Access::ReadOnly);
        const qint64 now = kNow.toMSecsSinceEpoch();
        QCOMPARE(historyReport(lines, reader.figures(lines, { 1, 7, 30 }, now, &problem), kNow),
            QStringList({ "甲      100.0%   98.2%   99.5%  1 次  最长 3 小时 0 分钟  12月05日 09:42 恢复正常",
                "乙      100.0%  100.0%  100.0%  0 次  -                   自 10月28日 11:42 起一直正常",
                "丙丙丙       -       -       -  0 次  -                   -" }));
        QCOMPARE(historyReport(lines, reader.figures(lines, { 40 }, now, &problem), kNow).value(0),
            "甲       94.6%  2 次  最长 2 天 0 小时 0 分钟  12月05日 09:42 恢复正常");
        QCOMPARE(problem, QString());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The second process of twoProcessesLoseNoRow.
    if (argc == 4 && QByteArray(argv[1]) == "--record") {
        QTextStream(stdout) << "recording\n" << Qt::flush;
        return recordRuns(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt()).size();
    }
    TstHistory test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
