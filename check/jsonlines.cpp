#include "check/jsonlines.h"
#include "check/runsummary.h"
#include "check/utf8text.h"

namespace
{
QByteArray jsonNumber(const std::optional<int> &number)
{
    return number ? QByteArray::number(*number) : QByteArrayLiteral("null");
}

QByteArray verdictName(Verdict verdict)
{
    return verdict == Verdict::Passed ? "ok" : verdict == Verdict::Failed ? "fail" : "pending";
}
} // namespace

QByteArray jsonString(const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += QLatin1Char('"');
    for (const QChar c : validText(text)) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else if (u < 0x20 || u == 0x7F || u == 0x2028 || u == 0x2029)
            escaped += QLatin1String("\\u") + QLatin1Char(hex[u >> 12]) + QLatin1Char(hex[(u >> 8) & 15])
                + QLatin1Char(hex[(u >> 4) & 15]) + QLatin1Char(hex[u & 15]);
        else
            escaped += c;
    }
    escaped += QLatin1Char('"');
    return escaped.toUtf8();
}

QByteArray jsonLine(const CheckResult &result)
{
    const CheckLine &line = result.line;
    const QString output = QString::fromUtf8(utf8Head(result.output, kJsonOutputBytes));
    return "{\"alias\":" + jsonString(line.alias) + ",\"type\":" + jsonString(line.type.toUpper())
        + ",\"target\":" + jsonString(shownTarget(line)) + ",\"location\":" + jsonString(line.location)
        + ",\"verdict\":\"" + verdictName(result.verdict)
        + "\",\"reason\":" + (result.reason.isEmpty() ? QByteArrayLiteral("null") : jsonString(result.reason))
        + ",\"output\":" + jsonString(output) + ",\"checked_at\":"
        + (result.checkedAt.isValid() ? jsonString(isoTimeWithOffset(result.checkedAt))
                                      : QByteArrayLiteral("null"))
        + ",\"duration_ms\":" + QByteArray::number(result.durationMs) + ",\"exit_code\":"
        + jsonNumber(result.exitCode) + ",\"http_status\":" + jsonNumber(result.httpStatus) + "}\n";
}

QByteArray jsonSummaryLine(const RunCount &count, qint64 runDurationMs)
{
    return "{\"summary\":true,\"checks\":" + QByteArray::number(count.checks)
        + ",\"failures\":" + QByteArray::number(count.failures)
        + ",\"duration_ms\":" + QByteArray::number(runDurationMs) + "}\n";
}
