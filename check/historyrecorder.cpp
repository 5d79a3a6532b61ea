#include "check/historyrecorder.h"
#include "check/clock.h"
#include "check/historystore.h"
#include "check/historythread.h"

HistoryRecorder::HistoryRecorder(const QString &path, QObject *parent)
    : RunRecorder(parent)
    , store(std::make_unique<HistoryStore>(path))
{
}

HistoryRecorder::HistoryRecorder(HistoryThread *thread, QObject *parent)
    : RunRecorder(parent)
    , thread(thread)
{
}

HistoryRecorder::~HistoryRecorder() = default;

void HistoryRecorder::record(const CheckResult &result)
{
    results.append(result);
}

void HistoryRecorder::finish(qint64)
{
    if (store) {
        QString problem;
        const QList<LineState> states = store->record(results, &problem);
        recorded(states, problem);
        // After the run's output: old data goes at most once a day, within its own bound.
        QString ignored;
        store->maintain(currentTime().toMSecsSinceEpoch(), &ignored);
        return;
    }
    if (!thread) {
        recorded({}, QString());
        return;
    }
    // The thread answers in the order of its requests: the answers to runs recorded before
    // this one (a run may end while the last one's rows still wait for the file) come first.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(thread, &HistoryThread::recorded, this,
        [this, connection, ahead = thread->recordsPending()](
            const QList<LineState> &states, const QString &problem) mutable {
            if (ahead-- > 0)
                return;
            disconnect(*connection);
            recorded(states, problem);
        });
    thread->record(results);
}

void HistoryRecorder::recorded(const QList<LineState> &states, const QString &problem)
{
    emit statesKnown(results, states);
    if (!problem.isEmpty())
        emit trouble(RunTrouble::History, problem);
    emit done();
}

void HistoryRecorder::setReported(const QList<qint64> &lineIds, bool down)
{
    if (store) {
        QString problem;
        store->setReported(lineIds, down, &problem);
    } else if (thread) {
        thread->setReported(lineIds, down);
    }
}
