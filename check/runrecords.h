#ifndef CHECK_RUNRECORDS_H
#define CHECK_RUNRECORDS_H

#include "check/historyrecords.h"

#include <QDateTime>
#include <QList>

// A run's records as the window keeps them and, once the history has recorded the run, each
// line's state after it: what the tooltips of the run's rows and device labels are made of.
struct RunRecords
{
    QList<CheckResult> results; // in script order
    QList<LineState> states; // in the same order once the history has them; empty before

    // A result's tooltip text at now: how long its line has held its verdict ("异常，自 12月07日
    // 10:42 起，已持续 35 分钟"; nothing for a line with no earlier check), above the result.
    QString toolTipText(int index, const QDateTime &now) const;
};

#endif
