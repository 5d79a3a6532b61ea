#include "check/nagiosoutput.h"
#include "check/runsummary.h"
#include "check/utf8text.h"

#include <QSet>

namespace
{
// One long output must not crowd the other failed lines out of the size.
constexpr int kDetailChars = 200;

// Plugin text on one line: a "|" would start performance data, a line end a new line.
QString pluginText(const QString &text)
{
    QString plain = validText(text);
    for (QChar &c : plain) {
        if (c == QLatin1Char('|'))
            c = QLatin1Char('/');
        else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return plain;
}

QString detailOf(const CheckResult &result)
{
    const QString first = resultText(result).trimmed().section(QLatin1Char('\n'), 0, 0);
    return pluginText(first.size() > kDetailChars ? first.left(kDetailChars) + QChar(0x2026) : first).simplified();
}
} // namespace

int nagiosExitCode(const QList<CheckResult> &results, const RunProblems &problems)
{
    if (problems.notRun || results.isEmpty())
        return 3;
    if (failureCount(results) > 0)
        return 2;
    if (problems.reportNotWritten)
        return 3;
    return problems.recordNotWritten ? 1 : 0;
}

QByteArray nagiosOutput(const QList<CheckResult> &results, const RunProblems &problems)
{
    static const char *const words[] = { "OK", "WARNING", "CRITICAL", "UNKNOWN" };
    QStringList failed;
    QString details;
    QStringList perf;
    QVector<bool> passing;
    QSet<QString> labels;
    for (const CheckResult &result : results) {
        const QString alias = pluginText(result.line.alias);
        if (result.verdict != Verdict::Passed) {
            failed << alias;
            const QString detail = detailOf(result);
            details += verdictWord(result.verdict) + QLatin1Char(' ') + alias
                + (detail.isEmpty() ? QString() : QStringLiteral("：") + detail) + QLatin1Char('\n');
        }
        const QString base = QString(alias)
                                 .replace(QLatin1Char('\''), QLatin1String("''"))
                                 .replace(QLatin1Char('='), QLatin1Char('_'));
        QString label = base;
        for (int n = 2; labels.contains(label); ++n)
            label = base + QStringLiteral(" #%1").arg(n);
        labels.insert(label);
        perf << QStringLiteral("'%1'=%2ms;;;0").arg(label, QString::number(result.durationMs));
        passing << (result.verdict == Verdict::Passed);
    }

    QStringList said;
    if (!results.isEmpty())
        said << (failed.isEmpty() ? QStringLiteral("%1 项正常").arg(results.size())
                                  : QStringLiteral("%1 项异常：").arg(failed.size())
                    + failed.mid(0, kNagiosNamedFailures).join(QStringLiteral(", "))
                    + (failed.size() > kNagiosNamedFailures ? QStringLiteral(" 等") : QString()));
    for (const QString &message : problems.messages)
        said << pluginText(message);
    if (said.isEmpty())
        said << QStringLiteral("检测脚本中没有可执行的检测行。");
    const QByteArray head = QByteArray("NETCHECK ") + words[nagiosExitCode(results, problems)] + " - "
        + said.join(QStringLiteral("；")).toUtf8();
    const QByteArray rest = details.toUtf8();

    // Past the size, performance data goes from the end: the passing lines' first.
    QVector<int> sizes;
    qint64 perfBytes = 0;
    for (const QString &item : perf) {
        sizes << item.toUtf8().size() + 1;
        perfBytes += sizes.last();
    }
    int kept = perf.size();
    QVector<bool> keep(perf.size(), true);
    for (const bool dropPassing : { true, false }) {
        for (int i = perf.size() - 1; i >= 0; --i) {
            if (head.size() + (kept > 0 ? perfBytes + 2 : 0) + 1 + rest.size() <= kNagiosOutputBytes)
                break;
            if (keep.at(i) && passing.at(i) == dropPassing) {
                keep[i] = false;
                perfBytes -= sizes.at(i);
                --kept;
            }
        }
    }
    QStringList keptPerf;
    for (int i = 0; i < perf.size(); ++i)
        if (keep.at(i))
            keptPerf << perf.at(i);
    QByteArray text
        = head + (kept > 0 ? " | " + keptPerf.join(QLatin1Char(' ')).toUtf8() : QByteArray()) + '\n' + rest;
    if (text.size() <= kNagiosOutputBytes)
        return text;
    // Still too long: whole lines where there are some, else a whole character.
    text = utf8Head(QString::fromUtf8(text), kNagiosOutputBytes - 1);
    const int lineEnd = text.lastIndexOf('\n');
    return lineEnd >= 0 ? text.left(lineEnd + 1) : text + '\n';
}
