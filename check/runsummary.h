#ifndef RUNSUMMARY_H
#define RUNSUMMARY_H

#include "check/result.h"

#include <QList>

// Lines of a run that did not pass: failed, or never checked.
int failureCount(const QList<CheckResult> &results);

// How many lines a run checked and how many of them did not pass, counted as results come, so
// a run of any size needs no list of them.
struct RunCount
{
    int checks = 0;
    int failures = 0;
    void add(const CheckResult &result);
};
RunCount countOf(const QList<CheckResult> &results);

// The text output's closing line, "共 15 项，2 项未通过，用时 3.2 秒". It holds no verdict word, so
// counting the lines that hold one still counts check lines only.
QString textSummaryLine(const RunCount &count, qint64 runDurationMs);

// A moment as ISO 8601 with its offset from UTC ("2024-05-06T09:30:00+08:00"), which Qt leaves
// out for local time.
QString isoTimeWithOffset(const QDateTime &moment);

#endif
