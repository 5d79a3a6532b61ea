#include "check/chartpoints.h"

namespace
{
// No check lasts longer than its bound; a stored duration past this is taken as this, so a
// broken file cannot overflow a column's sum.
constexpr qint64 kLongestDurationMs = 24 * 3600 * 1000;

struct Column
{
    qint64 passed = 0;
    qint64 sumAtMs = 0; // of the checks that passed; a month of them stays far inside 64 bits
    qint64 sumDurationMs = 0;
    bool failed = false;
    qint64 failedAtMs = 0;
    qint64 failedDurationMs = 0;
};
} // namespace

QVector<ChartPoint> thinnedPoints(const QVector<CheckPoint> &checks, qint64 fromMs, qint64 toMs, int columns)
{
    QVector<ChartPoint> points;
    if (columns <= 0 || toMs <= fromMs)
        return points;
    QVector<Column> bins(columns);
    const qint64 spanMs = toMs - fromMs;
    for (const CheckPoint &check : checks) {
        if (check.atMs < fromMs || check.atMs > toMs)
            continue;
        const int at = qMin(columns - 1, int(double(check.atMs - fromMs) / spanMs * columns));
        const qint64 durationMs = qBound<qint64>(0, check.durationMs, kLongestDurationMs);
        Column &bin = bins[at];
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
            points.append(ChartPoint { bin.failedAtMs, bin.failedDurationMs, true });
        else if (bin.passed > 0)
            points.append(
                ChartPoint { fromMs + bin.sumAtMs / bin.passed, bin.sumDurationMs / bin.passed, false });
    }
    return points;
}
