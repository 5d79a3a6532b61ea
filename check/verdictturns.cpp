#include "check/verdictturns.h"

#include "check/historytext.h"

#include <algorithm>

QList<VerdictTurn> verdictTurns(const LineHistory &history, qint64 fromMs)
{
    QList<VerdictTurn> changes;
    const LineState &state = history.state;
    if (!state.known())
        return changes;
    bool firstFailed = false;
    for (const Outage &outage : history.outages) {
        const bool first = outage.startMs == state.firstMs;
        firstFailed |= first;
        if (outage.startMs >= fromMs)
            changes.append(
                VerdictTurn { outage.startMs, first ? Verdict::Pending : Verdict::Passed, Verdict::Failed,
                    outage.reason.isEmpty() ? QStringLiteral("未找到成功字符") : outage.reason });
        if (outage.endMs > 0 && outage.endMs >= fromMs)
            changes.append(VerdictTurn { outage.endMs, Verdict::Failed, Verdict::Passed,
                QStringLiteral("异常持续 %1").arg(spanText(outage.endMs - outage.startMs)) });
    }
    if (!firstFailed && state.firstMs >= fromMs)
        changes.append(VerdictTurn { state.firstMs, Verdict::Pending, Verdict::Passed, QString() });
    std::stable_sort(changes.begin(), changes.end(),
        [](const VerdictTurn &a, const VerdictTurn &b) { return a.atMs > b.atMs; });
    return changes;
}
