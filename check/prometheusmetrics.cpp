#include "check/prometheusmetrics.h"
#include "check/runsummary.h"
#include "check/utf8text.h"

#include <QMap>
#include <functional>

namespace
{
QString labelValue(const QString &text)
{
    QString escaped = validText(text);
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return escaped;
}

QString seconds(qint64 ms)
{
    return QString::number(ms / 1000.0, 'f', 3);
}

QString gauge(const char *name, const QString &help, const QStringList &samples)
{
    if (samples.isEmpty())
        return QString();
    const QString metric = QLatin1String(name);
    return QStringLiteral("# HELP %1 %2\n# TYPE %1 gauge\n").arg(metric, help) + metric
        + samples.join(QLatin1Char('\n') + metric) + QLatin1Char('\n');
}
} // namespace

QByteArray prometheusMetrics(
    const QList<CheckResult> &results, const QDateTime &runEndedAt, qint64 runDurationMs)
{
    // The labels of each line, numbered where an earlier line had the same four.
    QStringList labels;
    QMap<QStringList, int> seen;
    for (const CheckResult &result : results) {
        const QStringList four = { result.line.alias, result.line.type.toUpper(), shownTarget(result.line),
            result.line.location };
        const int n = ++seen[four];
        labels << QStringLiteral("{alias=\"%1\",type=\"%2\",target=\"%3\",location=\"%4\"")
                      .arg(labelValue(four.at(0)), labelValue(four.at(1)), labelValue(four.at(2)),
                          labelValue(four.at(3)))
                + (n > 1 ? QStringLiteral(",n=\"%1\"}").arg(n) : QStringLiteral("}"));
    }
    const auto samples = [&](const std::function<QString(const CheckResult &)> &value) {
        QStringList lines;
        for (int i = 0; i < results.size(); ++i) {
            const QString v = value(results.at(i));
            if (!v.isEmpty())
                lines << labels.at(i) + QLatin1Char(' ') + v;
        }
        return lines;
    };
    const auto number = [](const std::optional<int> &n) { return n ? QString::number(*n) : QString(); };

    const QString text
        = gauge("netcheck_check_success", QStringLiteral("检测行是否正常：1 正常，0 异常或待检测。"),
              samples([](const CheckResult &r) { return QString::number(r.verdict == Verdict::Passed); }))
        + gauge("netcheck_check_duration_seconds", QStringLiteral("检测行用时（秒）。"),
            samples([](const CheckResult &r) { return seconds(r.durationMs); }))
        + gauge("netcheck_check_exit_code", QStringLiteral("命令行的退出码。"),
            samples([&](const CheckResult &r) { return number(r.exitCode); }))
        + gauge("netcheck_check_http_status", QStringLiteral("网址行的HTTP状态码。"),
            samples([&](const CheckResult &r) { return number(r.httpStatus); }))
        + gauge("netcheck_run_timestamp_seconds", QStringLiteral("本次检测结束的时间（Unix 秒）。"),
            { QLatin1Char(' ') + seconds(runEndedAt.toMSecsSinceEpoch()) })
        + gauge("netcheck_run_duration_seconds", QStringLiteral("本次检测用时（秒）。"),
            { QLatin1Char(' ') + seconds(runDurationMs) })
        + gauge("netcheck_run_checks", QStringLiteral("本次检测的检测行数。"),
            { QLatin1Char(' ') + QString::number(results.size()) })
        + gauge("netcheck_run_failures", QStringLiteral("本次检测中异常或待检测的行数。"),
            { QLatin1Char(' ') + QString::number(failureCount(results)) });
    return text.toUtf8();
}
