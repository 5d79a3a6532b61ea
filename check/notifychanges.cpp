#include "check/notifychanges.h"
#include "check/historytext.h"
#include "check/utf8text.h"

namespace
{
// One line of the message: hostile texts lose their line ends and are cut.
QString field(const QString &text)
{
    const QString plain = validText(text).simplified();
    return plain.size() > kNotifyFieldChars ? plain.left(kNotifyFieldChars) + QChar(0x2026) : plain;
}

QString changeLine(const LineChange &change, const QDateTime &now)
{
    const CheckLine &line = change.result.line;
    QString text = field(line.alias.isEmpty() ? shownTarget(line) : line.alias);
    if (!line.location.isEmpty())
        text += QStringLiteral("（%1）").arg(field(line.location));
    text += change.down ? QStringLiteral("：异常，%1").arg(field(changeReason(change.result)))
                        : QStringLiteral("：恢复正常");
    return text + QStringLiteral("，自 %1 起").arg(momentText(change.state.sinceMs, now));
}
} // namespace

QList<LineChange> lineChanges(
    const QList<CheckResult> &results, const QList<LineState> &states, int downAfter, int upAfter)
{
    QList<LineChange> changes;
    if (states.size() != results.size())
        return changes;
    for (int i = 0; i < results.size(); ++i) {
        const LineState &state = states.at(i);
        if (!state.known())
            continue;
        const bool passing = state.verdict == Verdict::Passed;
        if (!passing && !state.reportedDown && state.runs >= downAfter)
            changes << LineChange { results.at(i), state, true };
        else if (passing && state.reportedDown && state.runs >= upAfter)
            changes << LineChange { results.at(i), state, false };
    }
    return changes;
}

QString changeReason(const CheckResult &result)
{
    if (!result.reason.isEmpty())
        return result.reason.trimmed().section(QLatin1Char('\n'), 0, 0);
    if (result.verdict == Verdict::Pending)
        return verdictWord(Verdict::Pending);
    return QStringLiteral("未找到成功字符“%1”").arg(result.line.success);
}

QString notifyMessage(const QList<LineChange> &changes, const QString &host, const QDateTime &now)
{
    QString message = QStringLiteral("【网络检测】%1 %2：%3 项变化")
                          .arg(field(host), momentText(now.toMSecsSinceEpoch(), now))
                          .arg(changes.size());
    for (int i = 0; i < changes.size(); ++i) {
        const QString line = QLatin1Char('\n') + changeLine(changes.at(i), now);
        const int rest = changes.size() - i - 1;
        // The last line fits as it is; any other also needs room for the count of the rest.
        const QString tail = rest > 0 ? QStringLiteral("\n……另有 %1 项").arg(rest) : QString();
        if ((message + line + tail).toUtf8().size() > kNotifyMessageMaxBytes)
            return message + QStringLiteral("\n……另有 %1 项").arg(changes.size() - i);
        message += line;
    }
    return message;
}
