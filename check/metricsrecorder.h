#ifndef CHECK_METRICSRECORDER_H
#define CHECK_METRICSRECORDER_H

#include "check/runrecorder.h"

// The run as a metrics file for the textfile collector of a Prometheus node exporter, replaced
// whole after the run; a file that cannot be written is reported once (RunTrouble::Metrics) and
// the one there before stays.
class MetricsRecorder : public RunRecorder
{
    Q_OBJECT

public:
    explicit MetricsRecorder(const QString &path, QObject *parent = nullptr);
    void begin(const QList<CheckLine> &lines, const QDateTime &startedAt) override;
    void record(const CheckResult &result) override;
    void finish(qint64 runMs) override;

private:
    QString path;
    QList<CheckResult> results;
};

#endif
