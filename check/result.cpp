#include "check/result.h"

QString verdictWord(Verdict verdict)
{
    return verdict == Verdict::Passed ? QStringLiteral("正常")
        : verdict == Verdict::Failed  ? QStringLiteral("异常")
                                      : QStringLiteral("待检测");
}

QString resultText(const CheckResult &result)
{
    if (result.reason.isEmpty())
        return result.output;
    return result.output.isEmpty() ? result.reason : result.reason + QLatin1Char('\n') + result.output;
}

QString shownTarget(const CheckLine &line)
{
    if (line.type.compare(QLatin1String("URL"), Qt::CaseInsensitive) != 0)
        return line.target;
    // Only the password between "//user:" and the "@" of the authority is replaced, so the rest
    // stays exactly as written.
    const int scheme = line.target.indexOf(QLatin1String("://"));
    if (scheme < 0)
        return line.target;
    const int authorityStart = scheme + 3;
    int authorityEnd = line.target.size();
    for (const QChar end : { QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#') }) {
        const int at = line.target.indexOf(end, authorityStart);
        if (at >= 0)
            authorityEnd = qMin(authorityEnd, at);
    }
    const int at = line.target.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    if (at < authorityStart)
        return line.target;
    const int colon = line.target.indexOf(QLatin1Char(':'), authorityStart);
    if (colon < 0 || colon > at)
        return line.target;
    return line.target.left(colon + 1) + QLatin1String("***") + line.target.mid(at);
}
