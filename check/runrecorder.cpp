#include "check/runrecorder.h"
#include "check/dailylog.h"

#include <QDir>

void RunRecorder::begin(const QList<CheckLine> &, const QDateTime &) { }

void RunRecorder::finish(qint64)
{
    emit done();
}

void DailyLogRecorder::begin(const QList<CheckLine> &, const QDateTime &startedAt)
{
    path = dailyLogPath(startedAt);
    lost = false;
}

void DailyLogRecorder::record(const CheckResult &result)
{
    if (!appendLogRecord(path, logRecord(result)))
        lost = true;
}

void DailyLogRecorder::finish(qint64)
{
    if (lost)
        emit trouble(RunTrouble::Log, QStringLiteral("日志写入失败：%1").arg(QDir::toNativeSeparators(path)));
    emit done();
}

void RunRecorders::add(RunRecorder *recorder)
{
    recorder->setParent(this);
    recorders.append(recorder);
    connect(recorder, &RunRecorder::trouble, this, &RunRecorders::trouble);
    connect(recorder, &RunRecorder::done, this, [this] {
        if (--waiting == 0 && finished)
            emit done();
    });
}

void RunRecorders::begin(const QList<CheckLine> &lines, const QDateTime &startedAt)
{
    for (RunRecorder *recorder : qAsConst(recorders))
        recorder->begin(lines, startedAt);
}

void RunRecorders::record(const CheckResult &result)
{
    for (RunRecorder *recorder : qAsConst(recorders))
        recorder->record(result);
}

void RunRecorders::finish(qint64 runMs)
{
    waiting = recorders.size();
    finished = true;
    if (waiting == 0)
        emit done();
    for (RunRecorder *recorder : qAsConst(recorders))
        recorder->finish(runMs);
}
