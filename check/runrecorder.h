#ifndef CHECK_RUNRECORDER_H
#define CHECK_RUNRECORDER_H

#include "check/result.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

// What a recorder could not do; each kind is reported once per run.
enum class RunTrouble { Log, History, Metrics, Notify };

// Something every run hands its results to, in script order as they are reported: the day's
// log, and whatever else keeps or passes on a run. The window's runs and the runs without a
// window use the same recorders.
class RunRecorder : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Before the first result.
    virtual void begin(const QList<CheckLine> &lines, const QDateTime &startedAt);
    virtual void record(const CheckResult &result) = 0;
    // After the last result; done() follows, at once or once work left (a send) has ended.
    virtual void finish(qint64 runMs);

signals:
    void trouble(RunTrouble kind, const QString &text);
    void done();
};

// The day's log: one record per result, in the log of the day the run started.
class DailyLogRecorder : public RunRecorder
{
    Q_OBJECT

public:
    using RunRecorder::RunRecorder;
    void begin(const QList<CheckLine> &lines, const QDateTime &startedAt) override;
    void record(const CheckResult &result) override;
    void finish(qint64 runMs) override;
    QString logPath() const { return path; }

private:
    QString path;
    bool lost = false;
};

// The recorders of one run, told in turn; done() once every one is done.
class RunRecorders : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Taken over; told in the order added.
    void add(RunRecorder *recorder);
    void begin(const QList<CheckLine> &lines, const QDateTime &startedAt);
    void record(const CheckResult &result);
    void finish(qint64 runMs);
    bool isDone() const { return waiting == 0 && finished; }

signals:
    void trouble(RunTrouble kind, const QString &text);
    void done();

private:
    QList<RunRecorder *> recorders;
    int waiting = 0;
    bool finished = false;
};

#endif
