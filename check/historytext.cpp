#include "check/historytext.h"
#include "check/columns.h"

namespace
{
// An alias longer than this does not push every other line's columns out.
constexpr int kWidestAlias = 30;

QString rightAligned(const QString &text, int width)
{
    return QString(qMax(0, width - terminalColumns(text)), QLatin1Char(' ')) + text;
}

QString lastChange(const LineState &state, const QDateTime &now)
{
    if (!state.known())
        return QStringLiteral("-");
    const QString when = momentText(state.sinceMs, now);
    if (state.sinceMs == state.firstMs)
        return QStringLiteral("自 %1 起一直%2").arg(when, verdictWord(state.verdict));
    return QStringLiteral("%1 %2").arg(when,
        state.verdict == Verdict::Passed ? QStringLiteral("恢复正常")
                                         : QStringLiteral("转为") + verdictWord(state.verdict));
}
} // namespace

QString spanText(qint64 ms)
{
    const qint64 minutes = ms / 60000;
    if (minutes < 1)
        return QStringLiteral("不到 1 分钟");
    const qint64 days = minutes / (24 * 60), hours = minutes / 60 % 24;
    QString text;
    if (days > 0)
        text = QStringLiteral("%1 天 ").arg(days);
    if (days > 0 || hours > 0)
        text += QStringLiteral("%1 小时 ").arg(hours);
    return text + QStringLiteral("%1 分钟").arg(minutes % 60);
}

QString momentText(qint64 ms, const QDateTime &now)
{
    const QDateTime moment = QDateTime::fromMSecsSinceEpoch(ms, now.timeSpec());
    return moment.toString(moment.date().year() == now.date().year()
            ? QStringLiteral("MM月dd日 hh:mm")
            : QStringLiteral("yyyy年MM月dd日 hh:mm"));
}

QString sinceText(const LineState &state, const QDateTime &now)
{
    if (!state.known() || state.firstMs == state.lastMs)
        return QString();
    const qint64 held = now.toMSecsSinceEpoch() - state.sinceMs;
    return QStringLiteral("%1，自 %2 起，已持续%3")
        .arg(verdictWord(state.verdict), momentText(state.sinceMs, now),
            held < 60000 ? spanText(held) : QLatin1Char(' ') + spanText(held));
}

QString uptimeText(qint64 passed, qint64 made)
{
    if (made <= 0)
        return QStringLiteral("-");
    const qint64 tenths = passed * 1000 / made;
    return QStringLiteral("%1.%2%").arg(tenths / 10).arg(tenths % 10);
}

QStringList historyReport(
    const QList<CheckLine> &lines, const QList<LineFigures> &figures, const QDateTime &now)
{
    QList<QStringList> rows;
    QVector<int> widths;
    for (int i = 0; i < lines.size() && i < figures.size(); ++i) {
        const LineFigures &f = figures.at(i);
        QStringList row { lines.at(i).alias };
        for (int d = 0; d < f.made.size(); ++d)
            row << uptimeText(f.passed.at(d), f.made.at(d));
        row << QStringLiteral("%1 次").arg(f.outages)
            << (f.outages > 0 ? QStringLiteral("最长 ") + spanText(f.longestOutageMs) : QStringLiteral("-"))
            << lastChange(f.state, now);
        widths.resize(qMax(widths.size(), row.size()));
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths.at(c),
                c == 0 ? qMin(kWidestAlias, terminalColumns(row.at(c))) : terminalColumns(row.at(c)));
        rows << row;
    }
    // The alias, the change and the longest outage read from the left; figures line up right.
    QStringList report;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (int c = 0; c < row.size(); ++c) {
            const bool last = c == row.size() - 1;
            cells << (last                          ? row.at(c)
                    : c == 0 || c == row.size() - 2 ? padded(row.at(c), widths.at(c))
                                                    : rightAligned(row.at(c), widths.at(c)));
        }
        report << cells.join(QStringLiteral("  "));
    }
    return report;
}
