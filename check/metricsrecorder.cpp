#include "check/metricsrecorder.h"
#include "check/clock.h"
#include "check/metricsfile.h"
#include "check/prometheusmetrics.h"

#include <QDir>

MetricsRecorder::MetricsRecorder(const QString &path, QObject *parent)
    : RunRecorder(parent)
    , path(path)
{
}

void MetricsRecorder::begin(const QList<CheckLine> &, const QDateTime &)
{
    results.clear();
}

void MetricsRecorder::record(const CheckResult &result)
{
    results.append(result);
}

void MetricsRecorder::finish(qint64 runMs)
{
    if (!replaceFileAtomically(path, prometheusMetrics(results, currentTime(), runMs)))
        emit trouble(
            RunTrouble::Metrics, QStringLiteral("指标文件写入失败：%1").arg(QDir::toNativeSeparators(path)));
    emit done();
}
