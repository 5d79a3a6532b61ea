#ifndef CHECK_HISTORYTEXT_H
#define CHECK_HISTORYTEXT_H

#include "check/historyrecords.h"

#include <QDateTime>
#include <QStringList>

// A time span in days, hours and minutes without leading zero units ("16 小时 39 分钟"),
// or "不到 1 分钟".
QString spanText(qint64 ms);
// A moment as "12月07日 10:42" in local time, with the year when it is not now's.
QString momentText(qint64 ms, const QDateTime &now);
// How long a line has held its verdict: "异常，自 12月07日 10:42 起，已持续 35 分钟". Empty
// for a line with no check before its latest.
QString sinceText(const LineState &state, const QDateTime &now);
// The uptime as "99.3%" (cut, not rounded, so 100.0% means not one failure), or "-".
QString uptimeText(qint64 passed, qint64 made);

// The report without a window: one line per script line, in columns, with the figures of
// HistoryStore::figures() for the same lines and periods.
QStringList historyReport(
    const QList<CheckLine> &lines, const QList<LineFigures> &figures, const QDateTime &now);

#endif
