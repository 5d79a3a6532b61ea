#include "check/notifyrecorder.h"
#include "check/clock.h"
#include "check/historyrecorder.h"
#include "check/notifysend.h"

#include <QHash>

namespace
{
// What this program reported of lines lately, for runs whose states were read before it was
// kept; and the run whose message is on its way.
struct Reports
{
    qint64 count = 0; // reports kept so far
    QHash<qint64, QPair<qint64, bool>> latest; // line: the count at its latest report, and down
    QPointer<NotifyRecorder> sending;
};

Reports &reports()
{
    static Reports kept;
    return kept;
}
} // namespace

NotifyRecorder::NotifyRecorder(HistoryRecorder *history, const QString &settingsFile, QObject *parent)
    : RunRecorder(parent)
    , history(history)
    , settingsFile(settingsFile)
{
    if (history)
        connect(history, &HistoryRecorder::statesKnown, this, &NotifyRecorder::statesKnown);
}

void NotifyRecorder::begin(const QList<CheckLine> &, const QDateTime &)
{
    settings = readSettings(settingsFile).notify;
}

void NotifyRecorder::finish(qint64)
{
    finished = true;
    noteReportsSeen();
    if (!settings.wanted || !history) {
        emit done();
        return;
    }
    if (!settings.problem.isEmpty()) {
        emit trouble(RunTrouble::Notify, settings.problem);
        emit done();
        return;
    }
    decide();
}

void NotifyRecorder::statesKnown(const QList<CheckResult> &runResults, const QList<LineState> &runStates)
{
    noteReportsSeen();
    results = runResults;
    states = runStates;
    statesIn = true;
    decide();
}

// The history is asked for the states as the run finishes, after every report kept before.
void NotifyRecorder::noteReportsSeen()
{
    if (reportsSeen < 0)
        reportsSeen = reports().count;
}

void NotifyRecorder::decide()
{
    if (!finished || !statesIn || decided || !settings.wanted || !settings.problem.isEmpty())
        return;
    Reports &kept = reports();
    if (kept.sending && kept.sending != this) {
        connect(
            kept.sending, &NotifyRecorder::sendEnded, this, &NotifyRecorder::decide, Qt::UniqueConnection);
        connect(kept.sending, &QObject::destroyed, this, &NotifyRecorder::decide, Qt::UniqueConnection);
        return;
    }
    decided = true;
    for (LineState &state : states) {
        const auto report = kept.latest.constFind(state.lineId);
        if (report != kept.latest.cend() && report->first > reportsSeen)
            state.reportedDown = report->second;
    }
    changes = lineChanges(results, states, settings.downAfter, settings.upAfter);
    if (changes.isEmpty()) {
        emit done();
        return;
    }
    kept.sending = this;
    send = new NotifySend(settings, changes, currentTime(), this);
    connect(send, &NotifySend::finished, this, &NotifyRecorder::sent);
    send->start();
}

void NotifyRecorder::sent()
{
    Reports &kept = reports();
    if (send->delivered()) {
        QList<qint64> down, up;
        for (const LineChange &change : qAsConst(changes))
            (change.down ? down : up) << change.state.lineId;
        if (history) {
            if (!down.isEmpty())
                history->setReported(down, true);
            if (!up.isEmpty())
                history->setReported(up, false);
        }
        ++kept.count;
        for (const LineChange &change : qAsConst(changes))
            kept.latest.insert(change.state.lineId, { kept.count, change.down });
    } else {
        emit trouble(RunTrouble::Notify, send->problem());
    }
    if (kept.sending == this)
        kept.sending = nullptr;
    emit sendEnded();
    emit done();
}
