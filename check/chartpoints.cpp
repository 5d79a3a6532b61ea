#include "check/chartpoints.h"

#include <algorithm>

namespace
{
// No check lasts longer than its bound; a stored duration past this is taken as this, so a
// broken file cannot overflow a column's sum.
constexpr qint64 kLongestDurationMs = 24 * 3600 * 1000;
// A pause this many times the usual time between checks is a time nothing was checked.
constexpr qint64 kGapFactor = 3;

struct Column
{
    qint64 passed = 0;
    qint64 sumAtMs = 0; // of the checks that passed; a month of them stays far inside 64 bits
    qint64 sumDurationMs = 0;
    bool failed = false;
    qint64 failedAtMs = 0;
    qint64 failedDurationMs = 0;
    bool gapBefore = false;
};

bool inSpan(const CheckPoint &check, qint64 fromMs, qint64 toMs)
{
    return check.atMs >= fromMs && check.atMs <= toMs;
}

// The least pause that breaks the line: several usual intervals (the median), and more than a
// column, as a shorter one cannot be seen.
qint64 gapMs(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs, qint64 columnMs)
{
    QVector<qint64> intervals;
    qint64 last = -1;
    for (const CheckPoint &check : checks) {
        if (!inSpan(check, fromMs, toMs))
            continue;
        if (last >= 0)
            intervals.append(qMax<qint64>(0, check.atMs - last));
        last = check.atMs;
    }
    if (intervals.isEmpty())
        return columnMs;
    auto middle = intervals.begin() + intervals.size() / 2;
    std::nth_element(intervals.begin(), middle, intervals.end());
    return qMax(kGapFactor * *middle, columnMs);
}
} // namespace

QVector<ChartPoint> thinnedPoints(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs, int columns)
{
    QVector<ChartPoint> points;
    if (columns <= 0 || toMs <= fromMs)
        return points;
    QVector<Column> bins(columns);
    const qint64 spanMs = toMs - fromMs;
    const qint64 gap = gapMs(checks, fromMs, toMs, spanMs / columns);
    qint64 last = -1;
    for (const CheckPoint &check : checks) {
        if (!inSpan(check, fromMs, toMs))
            continue;
        const int at = qMin(columns - 1, int(double(check.atMs - fromMs) / spanMs * columns));
        const qint64 durationMs = qBound<qint64>(0, check.durationMs, kLongestDurationMs);
        Column &bin = bins[at];
        bin.gapBefore |= last >= 0 && check.atMs - last > gap;
        last = check.atMs;
        if (check.verdict != Verdict::Passed) {
            if (!bin.failed || check.atMs < bin.failedAtMs)
                bin.failedAtMs = check.atMs;
            bin.failed = true;
            bin.failedDurationMs = qMax(bin.failedDurationMs, durationMs);
        } else {
            ++bin.passed;
            bin.sumAtMs += check.atMs - fromMs;
            bin.sumDurationMs += durationMs;
        }
    }
    for (const Column &bin : qAsConst(bins)) {
        if (bin.failed)
            points.append(ChartPoint { bin.failedAtMs, bin.failedDurationMs, true, bin.gapBefore });
        else if (bin.passed > 0)
            points.append(ChartPoint {
                fromMs + bin.sumAtMs / bin.passed, bin.sumDurationMs / bin.passed, false, bin.gapBefore });
    }
    return points;
}
