#ifndef CHECK_HISTORYRECORDER_H
#define CHECK_HISTORYRECORDER_H

#include "check/historyrecords.h"
#include "check/runrecorder.h"

#include <QPointer>

#include <memory>

class HistoryStore;
class HistoryThread;

// A run's results into the history, in one transaction after the run: in the window through
// its history thread (the file may be held by another process for up to kHistoryBusyMs),
// without a window through a store of its own on this thread. A run that cannot be recorded
// is reported once (RunTrouble::History) and changes nothing else.
class HistoryRecorder : public RunRecorder
{
    Q_OBJECT

public:
    // Without a window: the file at this path, pruned after the run when that is due.
    explicit HistoryRecorder(const QString &path, QObject *parent = nullptr);
    // In the window: its thread, which outlives the run.
    explicit HistoryRecorder(HistoryThread *thread, QObject *parent = nullptr);
    ~HistoryRecorder() override;

    void record(const CheckResult &result) override;
    void finish(qint64 runMs) override;
    // Keeps what the alerts last reported of these lines (down, or up again).
    void setReported(const QList<qint64> &lineIds, bool down);

signals:
    // The run's results with each line's state after it, in script order; empty states when
    // the run could not be recorded. Comes before done().
    void statesKnown(const QList<CheckResult> &results, const QList<LineState> &states);

private:
    void recorded(const QList<LineState> &states, const QString &problem);

    QList<CheckResult> results;
    std::unique_ptr<HistoryStore> store;
    QPointer<HistoryThread> thread;
};

#endif
