#include "check/historyworker.h"

#include "check/clock.h"
#include "check/historystore.h"

HistoryWorker::HistoryWorker(const QString &path)
    : path(path)
{
}

HistoryWorker::~HistoryWorker() = default;

HistoryStore &HistoryWorker::store()
{
    if (!opened)
        opened = std::make_unique<HistoryStore>(path);
    return *opened;
}

void HistoryWorker::record(const QList<CheckResult> &results)
{
    QString problem;
    const QList<LineState> states = store().record(results, &problem);
    emit recorded(states, problem);
    // A broken file shows in the next run's problem.
    store().maintain(currentTime().toMSecsSinceEpoch(), nullptr);
}

void HistoryWorker::readStates(const QList<LineKey> &keys)
{
    QString problem;
    const QList<LineState> states = store().states(keys, &problem);
    emit statesRead(states, problem);
}

void HistoryWorker::setReported(const QList<qint64> &lineIds, bool down)
{
    QString problem;
    store().setReported(lineIds, down, &problem);
    emit reportedSet(problem);
}

void HistoryWorker::readLine(const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks)
{
    QString problem;
    const LineHistory history = store().lineHistory(key, fromMs, toMs, withChecks, &problem);
    emit lineRead(key, history, problem);
}

// Generated code compiled here, apart from the older check headers that define CheckLine too.
