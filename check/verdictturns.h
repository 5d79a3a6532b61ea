#ifndef CHECK_VERDICTTURNS_H
#define CHECK_VERDICTTURNS_H

#include "check/historyrecords.h"

#include <QList>

// A turn of a line's verdict: when, from which to which, and why (the failed check's reason,
// which for a check that ran is its missing success text, or for a recovery how long the
// outage lasted).
struct VerdictTurn
{
    qint64 atMs = 0;
    Verdict from = Verdict::Pending; // Pending: the line's first check
    Verdict to = Verdict::Pending;
    QString reason;
};

// The turns of a line's verdict within its history's span, newest first, from its outages
// (each a turn to failed and, once it ended, one back) and its first check when the span holds
// it. Turns before fromMs are left out.
QList<VerdictTurn> verdictTurns(const LineHistory &history, qint64 fromMs);

#endif
