#ifndef CHECK_STATUSSTRIP_H
#define CHECK_STATUSSTRIP_H

#include "check/historyrecords.h"

#include <QVector>

// How a strip cuts its time: how many spans of how long, ending with the one that holds now.
struct StripShape
{
    int spans = 0;
    qint64 spanMs = 0;
};
// The last 24 hours in quarter-hours, 7 days in hours, 30 days in six-hour spans.
constexpr StripShape kDayStrip { 96, 15 * 60 * 1000 };
constexpr StripShape kWeekStrip { 168, 60 * 60 * 1000 };
constexpr StripShape kMonthStrip { 120, 6 * 60 * 60 * 1000 };

// One span of a strip and the checks made in it.
struct StripSpan
{
    enum class Look { Unchecked, Passed, Failed };
    qint64 startMs = 0;
    qint64 checks = 0;
    qint64 failures = 0; // checks that did not pass
    // Red when any check failed, green when every one passed, grey when none was made.
    Look look() const { return checks == 0 ? Look::Unchecked : failures > 0 ? Look::Failed : Look::Passed; }
};

// A strip, oldest span first, and its checks passed and made (its uptime).
struct StatusStrip
{
    StripShape shape;
    QVector<StripSpan> spans;
    qint64 passed = 0;
    qint64 made = 0;
    qint64 startMs() const { return spans.isEmpty() ? 0 : spans.first().startMs; }
    qint64 endMs() const { return startMs() + shape.spans * shape.spanMs; }
};

// The end of the span that holds nowMs: spans fall on whole quarter-hours, hours and six hours
// of local time, given as its offset from UTC (a zone half an hour off cuts hours on its own
// half hours, and its hourly summaries then count in the span their hour begins in).
qint64 stripEndMs(const StripShape &shape, qint64 nowMs, qint64 utcOffsetMs);

// A strip of single checks: exact to the minute, for the strips of the last day (single checks
// are kept 35 days, so they are always there for it).
StatusStrip stripOfChecks(const StripShape &shape, qint64 endMs, const QVector<CheckPoint> &checks);
// A strip of hourly summaries, each counted in the span its hour begins in: exact for spans of
// whole hours, and kept 400 days.
StatusStrip stripOfHours(const StripShape &shape, qint64 endMs, const QVector<HourSummary> &hours);

#endif
