#include "check/runsummary.h"

void RunCount::add(const CheckResult &result)
{
    ++checks;
    failures += result.verdict != Verdict::Passed;
}

RunCount countOf(const QList<CheckResult> &results)
{
    RunCount count;
    for (const CheckResult &result : results)
        count.add(result);
    return count;
}

int failureCount(const QList<CheckResult> &results)
{
    return countOf(results).failures;
}

QString textSummaryLine(const RunCount &count, qint64 runDurationMs)
{
    return QStringLiteral("共 %1 项，%2 项未通过，用时 %3 秒")
        .arg(count.checks)
        .arg(count.failures)
        .arg(QString::number(runDurationMs / 1000.0, 'f', 1));
}

QString isoTimeWithOffset(const QDateTime &moment)
{
    const int offsetMinutes = moment.offsetFromUtc() / 60;
    const int minutes = qAbs(offsetMinutes);
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
        + (offsetMinutes < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        + QStringLiteral("%1:%2")
              .arg(minutes / 60, 2, 10, QLatin1Char('0'))
              .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
