#include "check/historythread.h"

#include "check/historystore.h"
#include "check/historyworker.h"

#include <QThread>

namespace
{
// The request in hand at the end may wait for the file and then finish its pruning step.
constexpr unsigned long kStopMs = 2 * kHistoryBusyMs + kPruneBudgetMs;
} // namespace

HistoryThread::HistoryThread(const QString &path, QObject *parent)
    : QObject(parent)
    , thread(new QThread)
    , worker(new HistoryWorker(path))
{
    qRegisterMetaType<QList<LineState>>("QList<LineState>");
    qRegisterMetaType<LineKey>("LineKey");
    qRegisterMetaType<LineHistory>("LineHistory");
    worker->moveToThread(thread);
    connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &HistoryWorker::recorded, this,
        [this](const QList<LineState> &states, const QString &problem) {
            --pendingRecords;
            emit recorded(states, problem);
        });
    connect(worker, &HistoryWorker::statesRead, this, &HistoryThread::statesRead);
    connect(worker, &HistoryWorker::reportedSet, this, &HistoryThread::reportedSet);
    connect(worker, &HistoryWorker::lineRead, this, &HistoryThread::lineRead);
    thread->start();
}

HistoryThread::~HistoryThread()
{
    thread->requestInterruption();
    thread->quit();
    if (thread->wait(kStopMs))
        delete thread;
    // Otherwise the thread is left to the end of the program rather than destroyed running.
}

template<typename Request>
void HistoryThread::post(Request &&request)
{
    QMetaObject::invokeMethod(worker, std::forward<Request>(request), Qt::QueuedConnection);
}

void HistoryThread::record(const QList<CheckResult> &results)
{
    ++pendingRecords;
    post([w = worker, results] { w->record(results); });
}

void HistoryThread::readStates(const QList<LineKey> &keys)
{
    post([w = worker, keys] { w->readStates(keys); });
}

void HistoryThread::setReported(const QList<qint64> &lineIds, bool down)
{
    post([w = worker, lineIds, down] { w->setReported(lineIds, down); });
}

void HistoryThread::readLine(const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks)
{
    post([w = worker, key, fromMs, toMs, withChecks] { w->readLine(key, fromMs, toMs, withChecks); });
}

// Generated code compiled here, apart from the older check headers that define CheckLine too.
