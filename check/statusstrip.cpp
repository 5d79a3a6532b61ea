#include "check/statusstrip.h"

#include "check/historystore.h"

namespace
{
StatusStrip emptyStrip(const StripShape &shape, qint64 endMs)
{
    StatusStrip strip;
    strip.shape = shape;
    const qint64 startMs = endMs - shape.spans * shape.spanMs;
    for (int i = 0; i < shape.spans; ++i)
        strip.spans.append(StripSpan { startMs + i * shape.spanMs, 0, 0 });
    return strip;
}

// Counts checks made at atMs into their span; those outside the strip are left out.
void count(StatusStrip &strip, qint64 atMs, qint64 checks, qint64 failures)
{
    if (strip.spans.isEmpty() || checks <= 0 || atMs < strip.startMs() || atMs >= strip.endMs())
        return;
    // Outside input: a summary never claims more failures than checks.
    failures = qBound<qint64>(0, failures, checks);
    StripSpan &span = strip.spans[int((atMs - strip.startMs()) / strip.shape.spanMs)];
    span.checks += checks;
    span.failures += failures;
    strip.made += checks;
    strip.passed += checks - failures;
}
} // namespace

qint64 stripEndMs(const StripShape &shape, qint64 nowMs, qint64 utcOffsetMs)
{
    if (shape.spanMs <= 0)
        return nowMs;
    const qint64 local = nowMs + utcOffsetMs;
    // Rounded down towards the past for times before the epoch too.
    const qint64 span = local >= 0 ? local / shape.spanMs : (local - shape.spanMs + 1) / shape.spanMs;
    return (span + 1) * shape.spanMs - utcOffsetMs;
}

StatusStrip stripOfChecks(const StripShape &shape, qint64 endMs, const QVector<CheckPoint> &checks)
{
    StatusStrip strip = emptyStrip(shape, endMs);
    for (const CheckPoint &check : checks)
        count(strip, check.atMs, 1, check.verdict == Verdict::Passed ? 0 : 1);
    return strip;
}

StatusStrip stripOfHours(const StripShape &shape, qint64 endMs, const QVector<HourSummary> &hours)
{
    StatusStrip strip = emptyStrip(shape, endMs);
    for (const HourSummary &hour : hours)
        count(strip, hour.hour * kHourMs, hour.checks, hour.failures);
    return strip;
}
