#ifndef CHECK_NOTIFYCHANGES_H
#define CHECK_NOTIFYCHANGES_H

#include "check/historyrecords.h"

#include <QDateTime>
#include <QList>
#include <QString>

// One message stays under WeCom's text limit (2,048 bytes) with room to spare.
constexpr int kNotifyMessageMaxBytes = 2000;
// One long reason, alias or location must not crowd the other lines out of a message.
constexpr int kNotifyFieldChars = 80;

// A line whose reported state turns with this run.
struct LineChange
{
    CheckResult result;
    LineState state; // after the run
    bool down = true; // down, or back up
};

// The lines that turn with a run, in script order, from its results and each line's state
// after it: down once it has not passed for downAfter runs in a row and was last reported up
// (or never), back once it has passed upAfter runs in a row and was last reported down.
// Nothing when the states are unknown (the run could not be recorded).
QList<LineChange> lineChanges(
    const QList<CheckResult> &results, const QList<LineState> &states, int downAfter, int upAfter);

// Why a line is down, on one line: why it could not run, or the success text it lacked.
QString changeReason(const CheckResult &result);

// The message of a run's changes, at most kNotifyMessageMaxBytes of UTF-8: a heading with the
// computer and the time, then one line per change; past the size the last line is
// "……另有 N 项".
QString notifyMessage(const QList<LineChange> &changes, const QString &host, const QDateTime &now);

#endif
