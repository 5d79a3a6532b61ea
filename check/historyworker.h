#ifndef CHECK_HISTORYWORKER_H
#define CHECK_HISTORYWORKER_H

#include "check/historyrecords.h"

#include <QObject>

#include <memory>

class HistoryStore;

// The history's side of the thread that keeps it: its store (and so its connection) is
// made, used and closed on that thread. HistoryThread calls it; its answers cross back as
// queued signals, in the order of the requests.
class HistoryWorker : public QObject
{
    Q_OBJECT

public:
    explicit HistoryWorker(const QString &path);
    ~HistoryWorker() override;

    // Records a run, answers, and then maintains the file (HistoryStore::maintain()).
    void record(const QList<CheckResult> &results);
    void readStates(const QList<LineKey> &keys);
    void setReported(const QList<qint64> &lineIds, bool down);
    void readLine(const LineKey &key, qint64 fromMs, qint64 toMs, bool withChecks);

signals:
    void recorded(const QList<LineState> &states, const QString &problem);
    void statesRead(const QList<LineState> &states, const QString &problem);
    void reportedSet(const QString &problem);
    void lineRead(const LineKey &key, const LineHistory &history, const QString &problem);

private:
    HistoryStore &store();

    QString path;
    std::unique_ptr<HistoryStore> opened;
};

#endif
