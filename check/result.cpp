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
