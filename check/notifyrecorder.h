#ifndef CHECK_NOTIFYRECORDER_H
#define CHECK_NOTIFYRECORDER_H

#include "check/notifychanges.h"
#include "check/notifysettings.h"
#include "check/runrecorder.h"

#include <QPointer>

class HistoryRecorder;
class NotifySend;

// Tells the lines that went down or came back with a run, as [notify] of the settings file
// says, once the history has given each line's state after the run. One message per run, sent
// after it without holding it; nothing when nothing changed, when the file has no [notify], or
// when the run could not be recorded. A wrong setting and a failed sending are reported once
// per run (RunTrouble::Notify).
//
// What was reported is kept in the history only once the message was delivered: a line whose
// message failed is told again with the next run that still finds it down (a late alert, never
// a lost one), and a line that comes back before any message about it got through is not
// told at all (it was never reported down). A message taken by a robot whose answer was lost
// may come twice. Within one program the sendings of runs follow each other, so a run made
// while the last run's message is on its way does not tell the same change again.
class NotifyRecorder : public RunRecorder
{
    Q_OBJECT

public:
    // The history's recorder of the same run (added before this one) gives the states and keeps
    // what was reported.
    explicit NotifyRecorder(
        HistoryRecorder *history, const QString &settingsFile = settingsPath(), QObject *parent = nullptr);

    void begin(const QList<CheckLine> &lines, const QDateTime &startedAt) override;
    void record(const CheckResult &) override { }
    void finish(qint64 runMs) override;

signals:
    // Its message has gone or failed; the next run's may go.
    void sendEnded();

private:
    void statesKnown(const QList<CheckResult> &results, const QList<LineState> &states);
    void noteReportsSeen();
    void decide();
    void sent();

    QPointer<HistoryRecorder> history;
    QString settingsFile;
    NotifySettings settings;
    QList<CheckResult> results;
    QList<LineState> states;
    QList<LineChange> changes;
    bool statesIn = false;
    bool finished = false;
    bool decided = false;
    qint64 reportsSeen = -1; // the program's reports the states already hold
    NotifySend *send = nullptr;
};

#endif
