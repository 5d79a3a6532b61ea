#ifndef CHECK_CHARTPOINTS_H
#define CHECK_CHARTPOINTS_H

#include "check/historyrecords.h"

#include <QVector>

// A point of a duration chart: one pixel column's checks.
struct ChartPoint
{
    qint64 atMs = 0;
    qint64 durationMs = 0;
    bool failed = false;
    bool gapBefore = false; // nothing was checked for a while before it: the line breaks
};

// The checks from fromMs to toMs as at most one point per column of a chart that many columns
// wide, in time order. A column with a failed check gives a failed point (at its first failure,
// with the longest failed duration), so no failure is thinned away; any other gives the mean
// time and duration of its checks, so the line follows the typical duration rather than its
// outliers. A pause of several usual intervals between checks, longer than a column, marks the
// point after it. Checks outside the span are left out.
QVector<ChartPoint> thinnedPoints(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs, int columns);

#endif
