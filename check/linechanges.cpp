#include "check/linechanges.h"

#include "check/historytext.h"

#include <algorithm>

QList<LineChange> lineChanges(const LineHistory &history, qint64 fromMs)
{
    QList<LineChange> changes;
    const LineState &state = history.state;
    if (!state.known())
        return changes;
    bool firstFailed = false;
    for (const Outage &outage : history.outages) {
        const bool first = outage.startMs == state.firstMs;
        firstFailed |= first;
        if (outage.startMs >= fromMs)
            changes.append(
                LineChange { outage.startMs, first ? Verdict::Pending : Verdict::Passed, Verdict::Failed,
                    outage.reason.isEmpty() ? QStringLiteral("未找到成功字符") : outage.reason });
        if (outage.endMs > 0 && outage.endMs >= fromMs)
            changes.append(LineChange { outage.endMs, Verdict::Failed, Verdict::Passed,
                QStringLiteral("异常持续 %1").arg(spanText(outage.endMs - outage.startMs)) });
    }
    if (!firstFailed && state.firstMs >= fromMs)
        changes.append(LineChange { state.firstMs, Verdict::Pending, Verdict::Passed, QString() });
    std::stable_sort(changes.begin(), changes.end(),
        [](const LineChange &a, const LineChange &b) { return a.atMs > b.atMs; });
    return changes;
}
