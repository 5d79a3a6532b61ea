#ifndef CHECK_HISTORYTHREAD_H
#define CHECK_HISTORYTHREAD_H

#include "check/historyrecords.h"

#include <QObject>

class HistoryWorker;
class QThread;

// The window's way to its history: every request goes to a thread of its own (the file may
// be held by another process's run for up to kHistoryBusyMs), and every answer comes back
// as a signal on the thread that made this object, in the order of the requests.
class HistoryThread : public QObject
{
    Q_OBJECT

public:
    explicit HistoryThread(const QString &path, QObject *parent = nullptr);
    ~HistoryThread() override; // lets the request in hand end, bounded

    void record(const QList<CheckResult> &results);
    void readStates(const QList<LineKey> &keys);
    void setReported(const QList<qint64> &lineIds, bool down);
    // One line's history from fromMs to toMs; its single checks only when asked.
    void readLine(const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks);
    // Runs asked to be recorded and not answered yet: a run recorded after another one takes
    // the answer that comes after theirs.
    int recordsPending() const { return pendingRecords; }

signals:
    void recorded(const QList<LineState> &states, const QString &problem);
    void statesRead(const QList<LineState> &states, const QString &problem);
    void reportedSet(const QString &problem);
    void lineRead(const LineKey &key, const LineHistory &history, const QString &problem);

private:
    template<typename Request>
    void post(Request &&request);

    QThread *thread;
    HistoryWorker *worker;
    int pendingRecords = 0;
};

#endif
